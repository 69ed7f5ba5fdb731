// Faults around a job: the archiver failing at either call, the old archive
// locked or read-only, folders that cannot be written, a full disk, a DLL that
// reports success and writes nothing; and inputs that must stop the job before
// the archiver runs. Every row checks what is left on disk and what the user
// was told.
#include "job/JobRun.h"
#include "job/InputList.h"
#include "tests/support/DialogJob.h"
#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/FormatRegistry.h"
#include "resources/resource.h"
#include "settings/FilterList.h"
#include "tests/app/JobFixture.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const char kOld[] = "OLD ARCHIVE";

enum CFault
{
    kNoFsFault,
    kOldArchiveLocked,    // held open without sharing
    kOldArchiveReadOnly,
    kOutputFolderReadOnly,
    kTempFolderMissing,
};

struct CFaultRow
{
    const char* name;
    int formatId;
    const char* dll;
    const char* script;
    CFault fault;
    int result;
    const char* window;      // title of the window that must tell the user
    const char* mentions;    // text that window must hold ("" for the output name)
    bool newArchive;         // the job's archive replaces the old one
};

const CFaultRow kFaultRows[] = {
    {"7z fails", 0, "7-Zip32.dll", "version=431\nresult=2\noutput=E2 failed\\r\\n\n", kNoFsFault, 8, kResultDialog,
     "E2 failed", false},
    {"7z full disk leaves part of an archive", 0, "7-Zip32.dll",
     "version=431\ncreate=archive\nresult=8\noutput=disk full\\r\\n\n", kNoFsFault, 8, kResultDialog, "disk full",
     false},
    {"7z success without archive", 0, "7-Zip32.dll", "version=431\n", kNoFsFault, 8, kResultDialog,
     "書庫が作成されていません", false},
    {"CAB success without archive", 4, "Cab32.dll", "", kNoFsFault, 8, kResultDialog, "書庫が作成されていません",
     false},
    {"LHA success without archive", 6, "Unlha32.dll", "", kNoFsFault, 8, kResultDialog,
     "書庫が作成されていません", false},
    {"ZIP full disk", 8, "Zip32j.dll", "create=archive\nresult=5\noutput=no space\\r\\n\n", kNoFsFault, 8,
     kResultDialog, "no space", false},
    {"CAB SFX fails at the first call", 5, "Cab32.dll", "result.1=3\noutput.1=first\\r\\n\n", kNoFsFault, 8,
     kResultDialog, "first", false},
    {"LHA SFX fails at the first call", 7, "Unlha32.dll", "create.1=archive\nresult.1=3\noutput.1=first\\r\\n\n",
     kNoFsFault, 8, kResultDialog, "first", false},
    {"ZIP SFX fails at the second call", 9, "Zip32j.dll",
     "create.1=archive\ncreate.2=sfx\nresult.2=4\noutput.2=second\\r\\n\n", kNoFsFault, 8, kResultDialog, "second",
     false},
    {"old archive locked", 0, "7-Zip32.dll", "version=431\ncreate=archive\n", kOldArchiveLocked, 10, kErrorBox, "",
     false},
    // The per-base-folder builders create their list files while the walk hands
    // files over: a refused file stops the walk with a message.
    {"temporary folder missing, 7z", 0, "7-Zip32.dll", "version=431\ncreate=archive\n", kTempFolderMissing, 11,
     kErrorBox, "リストファイルを作成できない", false},
    // The one-list-file builders refuse the job at BeginList: result 6 and, by
    // the job's design, no message (window "").
    {"temporary folder missing, LHA", 6, "Unlha32.dll", "create=archive\n", kTempFolderMissing, 6, "", "", false},
    {"old archive read-only", 0, "7-Zip32.dll", "version=431\ncreate=archive\n", kOldArchiveReadOnly, 0, kErrorBox,
     "元の書庫を削除できませんでした", true},
};

}  // namespace

class RobustJob : public ::testing::Test
{
protected:
    RobustJob() { g_testInputs = WidenAll({f.data.WriteFile("in\\a.txt", "a")}); }
    ~RobustJob() override { g_testInputs.clear(); }

    CJobFixture f;
};

TEST_F(RobustJob, FaultMatrixLosesNoArchiveLeavesNoListFileAndNamesTheFault)
{
    for (const CFaultRow& row : kFaultRows)
    {
        SCOPED_TRACE(row.name);
        CTestFolder temp;
        std::string outFolder = f.data.MakeFolder(std::string("out-") + std::to_string(&row - kFaultRows));
        std::string output = outFolder + (row.formatId == 5 || row.formatId == 7 || row.formatId == 9
                                              ? "\\x.exe" : "\\x.arc");
        WriteFileBytes(output, kOld);
        f.standIns.Script(row.dll, row.script);
        f.standIns.ResetJournal(row.dll);

        std::unique_ptr<CTempFolderOverride> tempOverride(
            new CTempFolderOverride(row.fault == kTempFolderMissing ? temp / "missing" : temp.Path()));
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (row.fault == kOldArchiveLocked)
            lock = CreateFileA(output.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (row.fault == kOldArchiveReadOnly)
            SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_READONLY);
        if (row.fault == kOutputFolderReadOnly)
            SetFileAttributesA(outFolder.c_str(), FILE_ATTRIBUTE_READONLY);

        CCompressJob job = MakeJob(row.formatId, output);
        job.Setting.OverWriteAction = kOverwriteAlways;
        std::vector<CDialogScript::CSeen> seen;
        int result = row.window[0] ? f.Run(&job, {Press(row.window, IDOK)}, &seen) : f.Run(&job, {}, &seen);

        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        SetFileAttributesA(outFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(row.result, result);

        // The user was told, in words that name the fault or the file.
        std::string told;
        if (row.window[0] == '\0')
        {
            EXPECT_TRUE(seen.empty());
        }
        else
        {
            ASSERT_EQ(1u, seen.size());
            EXPECT_EQ(row.window, seen[0].window.title);
            told = seen[0].window.title == kErrorBox ? seen[0].window.MessageText()
                                                     : seen[0].window.Find(IDC_RESULT_TEXT)->text;
            EXPECT_NE(std::string::npos, told.find(row.mentions[0] ? row.mentions : output.c_str())) << told;
        }

        // Nothing lost, nothing half-written under the output name.
        std::vector<std::string> left = FolderEntries(outFolder);
        if (row.newArchive)
        {
            ASSERT_EQ(2u, left.size());
            std::string kept = outFolder + "\\" + (left[0] == "x.arc" ? left[1] : left[0]);
            EXPECT_EQ(kOld, ReadFileBytes(kept));
            EXPECT_NE(std::string::npos, told.find(kept)) << told;
            SetFileAttributesA(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ("STANDIN SevenZip\r\n", ReadFileBytes(output));
        }
        else
        {
            EXPECT_EQ(std::vector<std::string>{output.substr(outFolder.size() + 1)}, left);
            EXPECT_EQ(kOld, ReadFileBytes(output));
        }
        SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_NORMAL);
        // No list file stays in the temporary folder.
        EXPECT_TRUE(FolderEntries(temp.Path()).empty());
    }
}

TEST_F(RobustJob, OutputNameEndingInARealBackslashAfterADoubleByteCharacterIsRejected)
{
    // "＝" is 0x81 0x81: its trail byte is in the lead-byte range, so the
    // backslash after it is a separator.
    struct
    {
        std::string name;
        int result;
    } const cases[] = {{f.data / "a\x81\x81\\", 2}, {f.data / "\x83\x81\x81\x81\\", 2}};
    for (const auto& c : cases)
    {
        CCompressJob job = MakeJob(0, c.name);
        std::vector<CDialogScript::CSeen> seen;
        EXPECT_EQ(c.result, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen)) << c.name;
        if (c.result == 2)
        {
            ASSERT_EQ(1u, seen.size());
            EXPECT_EQ("ファイル名が不正です。もう一度確認してください", seen[0].window.MessageText());
        }
        else
        {
            EXPECT_TRUE(seen.empty());
            EXPECT_TRUE(FileExists(c.name));
        }
    }
}

TEST_F(RobustJob, UndecidableMatchStopsTheJobNamingFileListAndDefinition)
{
    std::string name(200, 'a');
    g_testInputs = WidenAll({f.data.WriteFile("in\\" + name, "x"), f.data.WriteFile("in\\b.txt", "b")});
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    job.Setting.FilterSw = true;
    CFilterList list;
    list.Title = "重い";
    list.Definitions = {Definition(kFilterTypeFileName, "(a|aa|a)*(a|aa)*b", false, true)};
    job.Setting.FilterLists = {list};
    job.FilterListIndex = 0;
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(9, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("フィルタリスト「重い」の定義 1「(a|aa|a)*(a|aa)*b」でファイル「" + name +
                  "」を判定できませんでした。\nフィルタの設定を確認してください。",
              seen[0].window.MessageText());
    EXPECT_TRUE(f.SevenZipCalls().empty());
    EXPECT_FALSE(FileExists(f.data / "out.7z"));
}

TEST_F(RobustJob, NamesOutsideShiftJisStopTheJobBeforeTheArchiver)
{
    // "???.txt" is what the ANSI walk made of these names; as a list-file line
    // it would take abc.txt, which the filter leaves out. A DLL with a UTF-8
    // mode stores them (UnicodeNamesTest.cpp); this one has none.
    CStandInFormats plain({"7-Zip32.dll"}, "no-SetUnicodeMode");
    plain.Register();
    std::string folder = f.data.MakeFolder("in2");
    ASSERT_NE(INVALID_HANDLE_VALUE, CreateFileW((std::wstring(folder.begin(), folder.end()) + L"\\\xD55C\xAD6D.txt").c_str(),
                                                GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    ASSERT_NE(INVALID_HANDLE_VALUE,
              CreateFileW((std::wstring(folder.begin(), folder.end()) + L"\\\xD83D\xDE00.txt").c_str(), GENERIC_WRITE, 0,
                          NULL, CREATE_NEW, 0, NULL));
    f.data.WriteFile("in2\\abc.txt", "abc");
    f.data.WriteFile("in2\\ok.log", "ok");
    g_testInputs = WidenAll({folder});
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    job.Setting.FilterSw = true;
    CFilterList list;
    list.Title = "除外";
    list.Definitions = {Definition(kFilterTypeFileName, "abc.txt")};
    job.Setting.FilterLists = {list};
    job.FilterListIndex = 0;
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(13, f.Run(&job, {Press(kErrorBox, IDOK)}, &seen));
    ASSERT_EQ(1u, seen.size());
    std::string text = seen[0].window.MessageText();
    EXPECT_EQ(0u, text.find("次のファイル名には日本語(Shift_JIS)で表せない文字が含まれているため、圧縮できません。\n"))
        << text;
    EXPECT_EQ(std::string::npos, text.find("abc.txt"));
    EXPECT_EQ(std::string::npos, text.find("ok.log"));
    EXPECT_TRUE(plain.Calls("7-Zip32.dll", "SevenZip").empty());
    EXPECT_FALSE(FileExists(f.data / "out.7z"));
}

TEST_F(RobustJob, DeletedListFileNamesAreForgotten)
{
    CTestFolder temp;
    CTempFolderOverride tempOverride(temp.Path());
    CArc* arc = FindFormat(0);
    ASSERT_NE(nullptr, arc);
    CCompressJob job = MakeJob(0, f.data / "out.7z");
    ASSERT_NE(0, arc->BeginList(&job));
    ASSERT_NE(0, arc->AddFile((f.data / "in\\a.txt").c_str(), (f.data / "in").c_str()));
    arc->EndList();
    std::map<std::string, std::string> lists = static_cast<CArc7Zip*>(arc)->ListFiles();
    ASSERT_EQ(1u, lists.size());
    std::string name = lists.begin()->second;
    arc->Cleanup();
    EXPECT_FALSE(FileExists(name));

    // Another instance now owns that name; a second clean-up leaves it alone.
    WriteFileBytes(name, "theirs");
    arc->Cleanup();
    EXPECT_EQ("theirs", ReadFileBytes(name));
    EXPECT_TRUE(static_cast<CArc7Zip*>(arc)->ListFiles().empty());
}
