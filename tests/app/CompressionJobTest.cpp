// Whole compression jobs against the stand-in archivers: what reaches the DLL,
// what the user is asked and told, and what is left on disk.
#include "common/TextConvert.h"
#include "job/JobRun.h"
#include "job/InputList.h"
#include "tests/support/DialogJob.h"
#include "job/JobResult.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "resources/resource.h"
#include "tests/app/JobFixture.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

const char kOptions7z[] = "-mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA ";
const char kBadName[] = "ファイル名が不正です。もう一度確認してください";
const char kOld[] = "OLD ARCHIVE";
const char kNew[] = "STANDIN SevenZip\r\n";

// The tail of a line for one base folder and its list file.
std::string ListGroup(const std::string& base, const std::string& list)
{
    return "\"" + base + "\\\" -ir-\"@" + list + "\" ";
}

}  // namespace

class CompressionJob : public ::testing::Test
{
protected:
    ~CompressionJob() override { g_sevenZipSettings = CSevenZipSettings(); }

    CJobFixture f;
};

TEST_F(CompressionJob, SevenZipJobSendsTheDefaultLineAndListFilesThenDeletesThem)
{
    f.data.WriteFile("ソフト\\表.txt", "1");  // both names hold the trail byte 0x5C
    std::string other = f.data.WriteFile("other\\b.txt", "2");
    g_testInputs = {f.data / "ソフト", other};
    std::string output = f.data / "new\\deeper\\out.7z";
    CCompressJob job = MakeJob(0, output);

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&job, {}, &seen));
    EXPECT_TRUE(seen.empty());

    std::vector<CStandInCall> calls = f.SevenZipCalls();
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(2u, calls[0].lists.size());
    EXPECT_TRUE(calls[0].hasWindow);
    EXPECT_EQ(std::string("a -t7z ") + kOptions7z + "\"" + output + "\" " +
                  ListGroup(f.data.Path(), calls[0].lists[0].path) +
                  ListGroup(f.data / "other", calls[0].lists[1].path),
              calls[0].line);
    EXPECT_EQ("\"ソフト\\表.txt\"\r\n", calls[0].lists[0].bytes);
    EXPECT_EQ("\"b.txt\"\r\n", calls[0].lists[1].bytes);
    for (const CStandInList& list : calls[0].lists)
        EXPECT_FALSE(FileExists(list.path)) << list.path;
    EXPECT_EQ(kNew, ReadFileBytes(output));
}

TEST_F(CompressionJob, SelfExtractingJobAsksThePasswordAndHidesTheStatus)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    g_sevenZipSettings.SevenZSfx = "builtin";
    std::string output = f.data / "setup.exe";
    CCompressJob job = MakeJob(1, output);
    job.UsePassword = true;
    job.Setting.StatusDialog = false;

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&job,
                       {Fill(kPasswordDialog, {{IDC_PASSWORD, "s3 cret"}, {IDC_PASSWORD_AGAIN, "s3 cret"}}, IDOK)},
                       &seen));
    EXPECT_EQ(std::vector<std::string>{kPasswordDialog}, TitlesOf(seen));
    EXPECT_EQ(f.owner, seen[0].owner);

    std::vector<CStandInCall> calls = f.SevenZipCalls();
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, calls[0].lists.size());
    EXPECT_EQ(std::string("a -t7z -sfx -hide \"-ps3 cret\" ") + kOptions7z + "\"" + output + "\" " +
                  ListGroup(f.data.Path(), calls[0].lists[0].path),
              calls[0].line);
    EXPECT_TRUE(FileExists(output));
}

TEST_F(CompressionJob, ZipThroughSevenZipAddsToTheExistingArchiveInPlace)
{
    f.standIns.Script("7-Zip32.dll", "version=431\n");
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string output = f.data.WriteFile("out.zip", kOld);
    CCompressJob job = MakeJob(2, output);
    job.Setting.OverWriteAction = kOverwriteAppend;
    // The stand-in adds nothing to the old file: there is no archive to read back.
    job.Setting.VerifyArchive = false;

    EXPECT_EQ(0, f.Run(&job, {}));
    EXPECT_TRUE(job.OutputExists);
    std::vector<CStandInCall> calls = f.SevenZipCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("a -tzip -mx=5 -mm=Deflate -mfb=32 -mpass=1 \"" + output + "\" " +
                  ListGroup(f.data.Path(), calls[0].lists[0].path),
              calls[0].line);
    EXPECT_EQ(kOld, ReadFileBytes(output));
    EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty());
}

TEST_F(CompressionJob, ExistingOutputFollowsTheOverwriteActionAndTheDialogAnswer)
{
    // The stand-in reports success and creates nothing: an archive moved aside
    // comes back with the result dialog, one added to or left alone still holds
    // its old bytes.
    f.standIns.Script("7-Zip32.dll", "version=431\n");
    g_testInputs = {f.data.WriteFile("in\\a.txt", "a")};
    const std::string kGone = "<gone>";
    struct
    {
        const char* what;
        int format;
        int action;
        std::vector<CDialogScript::CStep> steps;
        int result;
        std::vector<std::string> titles;
        size_t calls;
        std::string left;
    } cases[] = {
        {"always overwrite", 0, kOverwriteAlways, {Press(kResultDialog, IDOK)}, 8, {kResultDialog}, 1, kOld},
        {"give another name", 0, kOverwriteRename, {Press(kErrorBox, IDOK)}, 3, {kErrorBox}, 0, kOld},
        {"add, but 7z cannot: message, then the dialog",
         0,
         kOverwriteAppend,
         {Press(kErrorBox, IDOK), Press(kOverwriteDialog, IDC_OVERWRITE), Press(kResultDialog, IDOK)},
         8,
         {kErrorBox, kOverwriteDialog, kResultDialog},
         1,
         kOld},
        {"add to a ZIP", 2, kOverwriteAppend, {}, 0, {}, 1, kOld},
        {"ask: overwrite",
         0,
         kOverwriteAsk,
         {Press(kOverwriteDialog, IDC_OVERWRITE), Press(kResultDialog, IDOK)},
         8,
         {kOverwriteDialog, kResultDialog},
         1,
         kOld},
        {"ask: add to a ZIP", 2, kOverwriteAsk, {Press(kOverwriteDialog, IDC_APPEND)}, 0, {kOverwriteDialog}, 1, kOld},
        {"ask: add chosen for 7z anyway",
         0,
         kOverwriteAsk,
         {Press(kOverwriteDialog, IDC_APPEND), Press(kErrorBox, IDOK)},
         1,
         {kOverwriteDialog, kErrorBox},
         0,
         kOld},
        {"ask: another name", 0, kOverwriteAsk, {Press(kOverwriteDialog, IDC_RENAME)}, 3, {kOverwriteDialog}, 0, kOld},
        {"ask: close box", 0, kOverwriteAsk, {CloseBox(kOverwriteDialog)}, 3, {kOverwriteDialog}, 0, kOld},
        {"action from an edited file", 0, 7, {}, 0, {}, 1, kOld},
    };
    for (const auto& c : cases)
    {
        std::string output = f.data.WriteFile(c.format == 2 ? "out.zip" : "out.7z", kOld);
        f.standIns.ResetJournal("7-Zip32.dll");
        CCompressJob job = MakeJob(c.format, output);
        job.Setting.OverWriteAction = c.action;
        // Adding, the stand-in leaves the old file as it was: no archive to read back.
        job.Setting.VerifyArchive = false;
        std::vector<CDialogScript::CSeen> seen;
        EXPECT_EQ(c.result, f.Run(&job, c.steps, &seen)) << c.what;
        EXPECT_EQ(c.titles, TitlesOf(seen)) << c.what;
        EXPECT_EQ(c.calls, f.SevenZipCalls().size()) << c.what;
        bool exists = FileExists(output);
        EXPECT_EQ(c.left, exists ? ReadFileBytes(output) : kGone) << c.what;
        EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty()) << c.what;
        for (const CDialogScript::CSeen& window : seen)
        {
            EXPECT_EQ(f.owner, window.owner) << c.what;
            if (window.window.title == kOverwriteDialog)
            {
                EXPECT_EQ(output, window.window.Find(IDC_OVERWRITE_FILE)->text) << c.what;
            }
        }
        if (c.action == kOverwriteRename && !seen.empty())
        {
            EXPECT_EQ("出力ファイルと同名ファイルが既に存在します\r\n新しい出力ファイル名を指定してください",
                      seen[0].window.MessageText());
        }
        else
        {
            for (const CDialogScript::CSeen& window : seen)
            {
                if (window.window.title == kErrorBox)
                {
                    EXPECT_EQ("この圧縮形式は、追加をサポートしていません", window.window.MessageText()) << c.what;
                }
            }
        }
        DeleteFileA(output.c_str());
    }
}

TEST_F(CompressionJob, FailedRunRestoresTheOldArchiveAndShowsTheArchiverText)
{
    f.standIns.Script("7-Zip32.dll", "version=431\nresult=2\noutput=ERROR: disk full\\r\\n\n");
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string output = f.data.WriteFile("out.7z", kOld);
    CCompressJob job = MakeJob(0, output);
    job.Setting.OverWriteAction = kOverwriteAlways;
    job.Setting.CmpEndExit = true;

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(8, f.Run(&job, {Press(kResultDialog, IDOK)}, &seen));
    ASSERT_EQ(std::vector<std::string>{kResultDialog}, TitlesOf(seen));
    EXPECT_EQ("ERROR: disk full\r\n", seen[0].window.Find(IDC_RESULT_TEXT)->text);
    EXPECT_EQ(f.owner, seen[0].owner);
    EXPECT_EQ(kOld, ReadFileBytes(output));
    EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty());

    // A DLL that fails without a word still leaves the user something to read.
    f.standIns.Script("7-Zip32.dll", "version=431\nresult=-1\n");
    CCompressJob silent = MakeJob(0, f.data / "new.7z");
    EXPECT_EQ(8, f.Run(&silent, {Press(kResultDialog, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("アーカイバーDLLからの出力はありません (戻り値 -1)", seen[0].window.Find(IDC_RESULT_TEXT)->text);
}

TEST_F(CompressionJob, FailedRunThatLeftAFileGetsTheOldArchiveBack)
{
    // The output name was free when the archiver started: what it left there
    // is unfinished and gives way to the old archive.
    f.standIns.Script("7-Zip32.dll", "version=431\nresult=2\noutput=E\ncreate=archive\n");
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string output = f.data.WriteFile("out.7z", kOld);
    CCompressJob job = MakeJob(0, output);
    job.Setting.OverWriteAction = kOverwriteAlways;

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(8, f.Run(&job, {Press(kResultDialog, IDOK)}, &seen));
    ASSERT_EQ((std::vector<std::string>{kResultDialog}), TitlesOf(seen));
    EXPECT_EQ("E", seen[0].window.Find(IDC_RESULT_TEXT)->text);
    EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty());
    EXPECT_EQ(kOld, ReadFileBytes(output));
}

TEST_F(CompressionJob, LockedOldArchiveStopsTheJobAndStaysUntouched)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string output = f.data.WriteFile("out.7z", kOld);
    std::vector<std::string> listsBefore = FilesMatching(TempFolderPath(), "res*.tmp");
    CCompressJob job = MakeJob(0, output);
    job.Setting.OverWriteAction = kOverwriteAlways;

    HANDLE lock = CreateFileA(output.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    std::vector<CDialogScript::CSeen> seen;
    int result = f.Run(&job, {Press(kErrorBox, IDOK)}, &seen);
    CloseHandle(lock);

    EXPECT_EQ(10, result);
    ASSERT_EQ(std::vector<std::string>{kErrorBox}, TitlesOf(seen));
    EXPECT_EQ("既存の出力ファイルを一時的に退避できないため、上書きできません\r\nファイルが使用中でないか確認してください\r\n" +
                  output,
              seen[0].window.MessageText());
    EXPECT_TRUE(f.SevenZipCalls().empty());
    EXPECT_EQ(kOld, ReadFileBytes(output));
    EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty());
    EXPECT_EQ(listsBefore, FilesMatching(TempFolderPath(), "res*.tmp"));
}

TEST_F(CompressionJob, OutputNamesAndFoldersAreCheckedBeforeAnythingIsWritten)
{
    g_testInputs = {f.data.WriteFile("in\\a.txt", "a")};
    f.data.WriteFile("plain.txt", "file, not folder");
    struct
    {
        const char* what;
        std::string output;
        int result;
        std::string message;
    } cases[] = {
        {"folder path", f.data.Path() + "\\", 2, kBadName},
        {"drive", "C:", 2, kBadName},
        {"ends in a colon", f.data / "out:", 2, kBadName},
        {"empty", "", 2, kBadName},
        {"a folder has the name", f.data / "in", 3,
         "出力ファイル名と同名のフォルダが存在します\r\n出力ファイル名を再指定してください"},
        {"a file has the folder's name", f.data / "plain.txt\\out.7z", 5,
         "出力フォルダと同名ファイルが存在するため、\n出力フォルダを作成できませんでした"},
        {"folder on a drive that does not exist", "Q:\\new\\out.7z", 5, "出力フォルダを作成できません"},
    };
    for (const auto& c : cases)
    {
        CCompressJob job = MakeJob(0, c.output);
        std::vector<CDialogScript::CSeen> seen;
        EXPECT_EQ(c.result, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen)) << c.what;
        ASSERT_EQ(std::vector<std::string>{kErrorBox}, TitlesOf(seen)) << c.what;
        EXPECT_EQ(c.message, seen[0].window.MessageText()) << c.what;
        EXPECT_TRUE(seen[0].window.HasIcon()) << c.what;
        EXPECT_EQ(f.owner, seen[0].owner) << c.what;
    }
    EXPECT_TRUE(f.SevenZipCalls().empty());
}

TEST_F(CompressionJob, NameEndingInATrailByteBackslashAndARelativeNameAreAccepted)
{
    g_testInputs = {f.data.WriteFile("in\\a.txt", "a")};
    std::string katakana = f.data / "ソ";  // last byte 0x5C, trail byte of 0x83
    CCompressJob job = MakeJob(0, katakana);
    EXPECT_EQ(0, f.Run(&job, {}));
    ASSERT_EQ(1u, f.SevenZipCalls().size());
    EXPECT_NE(std::string::npos, f.SevenZipCalls()[0].line.find("\"" + katakana + "\" "));

    char current[1024] = "";
    GetCurrentDirectoryA(sizeof(current), current);
    SetCurrentDirectoryA(f.data.Path().c_str());
    CCompressJob relative = MakeJob(0, "rel.7z");
    EXPECT_EQ(0, f.Run(&relative, {}));
    SetCurrentDirectoryA(current);
    EXPECT_TRUE(FileExists(f.data / "rel.7z"));
    ASSERT_EQ(2u, f.SevenZipCalls().size());
    EXPECT_NE(std::string::npos, f.SevenZipCalls()[1].line.find("\"" + (f.data / "rel.7z") + "\""));
}

TEST_F(CompressionJob, OutputFolderIsCreatedEvenWhenThereIsNothingToPack)
{
    f.data.MakeFolder("empty\\sub\\deeper");
    g_testInputs = {f.data / "empty", f.data / "missing.txt"};
    std::string folder = f.data / "made\\here";
    CCompressJob job = MakeJob(0, folder + "\\out.7z");
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(7, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("圧縮するファイルがありません", seen[0].window.MessageText());
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_TRUE(f.SevenZipCalls().empty());
}

TEST_F(CompressionJob, PasswordIsAskedOnlyWhenTheFormatCanEncrypt)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    CCompressJob cancelled = MakeJob(0, f.data / "out.7z");
    cancelled.UsePassword = true;
    EXPECT_EQ(4, f.Run(&cancelled, {Press(kPasswordDialog, IDCANCEL)}));
    EXPECT_TRUE(f.SevenZipCalls().empty());
    EXPECT_FALSE(FileExists(f.data / "out.7z"));

    // Zip32j.dll without encryption: the check mark of the disabled password
    // box must not turn into an empty password.
    f.standIns.Script("Zip32j.dll", "encryption=0\ncreate=archive\n");
    f.standIns.Register();
    CCompressJob noPassword = MakeJob(8, f.data / "out.zip");
    noPassword.UsePassword = true;
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&noPassword, {}, &seen));
    EXPECT_TRUE(seen.empty());
    std::vector<CStandInCall> calls = f.standIns.Calls("Zip32j.dll", "Zip");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(std::string::npos, calls[0].line.find("-P")) << calls[0].line;
    EXPECT_EQ(0u, calls[0].line.find("-6 -S \"" + (f.data / "out.zip") + "\"")) << calls[0].line;
}

TEST_F(CompressionJob, ListFileThatCannotBeWrittenStopsTheJob)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string missing = f.data / "no-temp";
    CTempFolderOverride temp(missing);
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(11, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("リストファイルを作成できないため、圧縮を中止しました\r\n一時フォルダを確認してください\r\n" + missing +
                  "\\",
              seen[0].window.MessageText());
    EXPECT_TRUE(f.SevenZipCalls().empty());
    EXPECT_FALSE(FileExists(f.data / "out.7z"));
}

TEST_F(CompressionJob, SuccessShowsTheResultWhenAskedAndOpensTheOutputFolder)
{
    f.standIns.Script("7-Zip32.dll", "version=431\ncreate=archive\noutput=Everything is Ok\\r\\n\n");
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    std::string folderName = "opened_" + std::to_string(GetTickCount());
    std::string output = f.data / (folderName + "\\out.7z");
    CCompressJob job = MakeJob(0, output);
    job.Setting.AllwaysResult = true;
    job.Setting.OutFolderOpen = true;

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&job, {Press(kResultDialog, IDOK)}, &seen));
    ASSERT_EQ(std::vector<std::string>{kResultDialog}, TitlesOf(seen));
    EXPECT_EQ("Everything is Ok\r\n", seen[0].window.Find(IDC_RESULT_TEXT)->text);
    // The shell shows the folder in a window of its own process.
    HWND folderWindow = WaitForTopWindow(folderName, 0, 20000);
    EXPECT_NE(nullptr, folderWindow);
    if (folderWindow != NULL)
        PostMessageA(folderWindow, WM_CLOSE, 0, 0);
}

TEST_F(CompressionJob, UnregisteredFormatIsRefused)
{
    g_testInputs = {f.data.WriteFile("a.txt", "a")};
    CCompressJob job = MakeJob(3, f.data / "out.x");
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(12, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("選択された圧縮形式は使用できません", seen[0].window.MessageText());
}

TEST_F(CompressionJob, RunsWithScriptedAnswersAndOpensNoWindow)
{
    const std::string kNoAppend = "fail: AppendUnsupported";
    g_testInputs = {f.data.WriteFile("in\\a.txt", "a")};
    struct
    {
        const char* what;
        bool exists;
        std::vector<EOverwriteAnswer> answers;
        std::vector<std::string> passwords;
        int result;
        std::vector<std::string> events;
        int storedAction;  // the job's overwrite action afterwards
        std::string left;  // the output's bytes afterwards
    } cases[] = {
        {"overwrite, then a password", true, {EOverwriteAnswer::Overwrite}, {"pw"}, 0, {"overwrite", "password"},
         kOverwriteAlways, kNew},
        {"add, which 7z cannot", true, {EOverwriteAnswer::Append}, {}, 1, {"overwrite", kNoAppend},
         kOverwriteAppend, kOld},
        {"another name", true, {EOverwriteAnswer::GiveAnotherName}, {}, 3, {"overwrite"}, kOverwriteRename, kOld},
        {"password cancelled", false, {}, {}, 4, {"password"}, kOverwriteAsk, ""},
    };
    for (const auto& c : cases)
    {
        std::string output = f.data / "out.7z";
        DeleteFileA(output.c_str());
        if (c.exists)
            f.data.WriteFile("out.7z", kOld);
        size_t callsBefore = f.SevenZipCalls().size();
        CCompressJob job = MakeJob(0, output);
        job.UsePassword = true;
        job.Setting.OverWriteAction = kOverwriteAsk;
        CScriptedJobCallback callback;
        callback.overwriteAnswers = c.answers;
        callback.passwords = c.passwords;

        CDialogScript script;
        EXPECT_EQ(c.result, RunJob(&job, g_testInputs, callback)) << c.what;
        EXPECT_TRUE(script.Finish().empty()) << c.what;
        EXPECT_EQ(c.events, callback.events) << c.what;
        EXPECT_EQ(c.storedAction, job.Setting.OverWriteAction) << c.what;
        EXPECT_EQ(c.left, ReadFileBytes(output)) << c.what;

        std::vector<CStandInCall> calls = f.SevenZipCalls();
        ASSERT_EQ(callsBefore + (c.result == 0 ? 1 : 0), calls.size()) << c.what;
        if (c.result == 0)
        {
            EXPECT_FALSE(calls.back().hasWindow);
            EXPECT_NE(std::string::npos, calls.back().line.find("-ppw")) << calls.back().line;
        }
    }
}

TEST_F(CompressionJob, WhatTheWalkCannotTakeIsAskedBeforeTheArchiverRuns)
{
    std::string kept = f.data.WriteFile("in\\a.txt", "a");
    f.data.WriteFile("in\\held\\b.txt", "b");
    g_testInputs = {f.data / "in", f.data / "gone.txt"};
    CHeldFolder held(f.data / "in\\held");
    ASSERT_TRUE(held.IsHeld());
    struct
    {
        const char* what;
        bool unattended;
        std::vector<bool> answers;
        int result;
        std::vector<std::string> events;
    } cases[] = {
        {"No, the default", false, {}, kJobFilesLeftOut, {"confirm: 2"}},
        {"Yes", false, {true}, 0, {"confirm: 2"}},
        {"quick start does not ask", true, {true}, kJobFilesLeftOut, {"leftout: 2"}},
    };
    for (const auto& c : cases)
    {
        std::string output = f.data.WriteFile("out.7z", kOld);
        size_t callsBefore = f.SevenZipCalls().size();
        CCompressJob job = MakeJob(0, output);
        job.Setting.OverWriteAction = kOverwriteAlways;
        job.Unattended = c.unattended;
        CScriptedJobCallback callback;
        callback.yesNoAnswers = c.answers;

        EXPECT_EQ(c.result, RunJob(&job, g_testInputs, callback)) << c.what;
        EXPECT_EQ(c.events, callback.events) << c.what;
        ASSERT_EQ(2u, callback.leftOut.size()) << c.what;
        EXPECT_TRUE(callback.leftOut[0].path == AnsiToWide(f.data / "in\\held") &&
                    callback.leftOut[0].reason == kProblemUnlistable && callback.leftOut[0].error == 32)
            << c.what;
        EXPECT_TRUE(callback.leftOut[1].path == AnsiToWide(f.data / "gone.txt") &&
                    callback.leftOut[1].reason == kProblemMissing)
            << c.what;
        std::vector<CStandInCall> calls = f.SevenZipCalls();
        ASSERT_EQ(callsBefore + (c.result == 0 ? 1 : 0), calls.size()) << c.what;
        EXPECT_EQ(c.result == 0 ? kNew : kOld, ReadFileBytes(output)) << c.what;
        if (c.result == 0)
            EXPECT_EQ("\"in\\a.txt\"\r\n", calls.back().lists[0].bytes);
        EXPECT_TRUE(FilesMatching(f.data.Path(), "tessik*.tmp").empty()) << c.what;
    }
}

TEST_F(CompressionJob, SuccessWithoutAnArchiveIsAFailureEvenWithNothingMovedAside)
{
    f.standIns.Script("7-Zip32.dll", "version=431\n");  // says success, writes nothing
    g_testInputs = {f.data.WriteFile("in\\a.txt", "a")};
    CCompressJob job = MakeJob(0, f.data / "new.7z");
    CScriptedJobCallback callback;
    EXPECT_EQ(kJobArchiverFailed, RunJob(&job, g_testInputs, callback));
    ASSERT_EQ(1u, callback.events.size());
    EXPECT_EQ("result: 0, not made", callback.events[0]);
}
