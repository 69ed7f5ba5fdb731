// Whole jobs through the CAB, LHA and Zip32j builders against the stand-ins:
// the lines the DLLs get, the dialogs the user sees and the files left behind.
#include "job/InputList.h"
#include "tests/support/DialogJob.h"
#include "resources/resource.h"
#include "tests/app/JobFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const char kOld[] = "OLD ARCHIVE";

struct CSfxFormat
{
    int id;
    const char* dll;
    const char* entry;
};

const CSfxFormat kSfxFormats[] = {{5, "Cab32.dll", "Cab"}, {7, "Unlha32.dll", "Unlha"}, {9, "Zip32j.dll", "Zip"}};

std::vector<std::string> SortedFiles(const std::string& folder)
{
    std::vector<std::string> names = FilesMatching(folder, "*.*");
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return name == "." || name == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

class FormatJobs : public ::testing::Test
{
protected:
    FormatJobs()
    {
        m_input = f.data.WriteFile("in\\a.txt", "a");
        m_outFolder = f.data.MakeFolder("out");
        g_testInputs = {m_input};
    }

    std::vector<CStandInCall> Calls(const char* dll, const char* entry) const { return f.standIns.Calls(dll, entry); }

    CJobFixture f;
    std::string m_input;
    std::string m_outFolder;
};

TEST_F(FormatJobs, CabJobNamesEveryBaseFolderAndRemovesItsListFiles)
{
    f.standIns.Script("Cab32.dll", "create=archive\n");
    std::string other = f.data.WriteFile("other\\sub\\b.txt", "b");
    g_testInputs = {f.data / "other", m_input};
    std::string output = m_outFolder + "\\x.cab";
    CCompressJob job = MakeJob(4, output);

    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&job, {}, &seen));
    EXPECT_TRUE(seen.empty());
    std::vector<CStandInCall> calls = Calls("Cab32.dll", "Cab");
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(2u, calls[0].lists.size());
    EXPECT_TRUE(calls[0].hasWindow);
    // f.data sorts before f.data\in.
    EXPECT_EQ("-a -mz \"" + output + "\" \"" + f.data.Path() + "\\\" \"@" + calls[0].lists[0].path + "\" \"" +
                  (f.data / "in") + "\\\" \"@" + calls[0].lists[1].path + "\" ",
              calls[0].line);
    EXPECT_EQ("\"other\\sub\\b.txt\"\r\n", calls[0].lists[0].bytes);
    EXPECT_EQ("\"a.txt\"\r\n", calls[0].lists[1].bytes);
    for (const CStandInList& list : calls[0].lists)
        EXPECT_FALSE(FileExists(list.path)) << list.path;
    EXPECT_TRUE(FileExists(output));
}

TEST_F(FormatJobs, LhaAndZipAddToTheExistingArchiveInPlace)
{
    std::string lzh = f.data.WriteFile("out\\x.lzh", kOld);
    CCompressJob lha = MakeJob(6, lzh);
    lha.Setting.OverWriteAction = kOverwriteAppend;
    // The stand-ins add nothing to the old files: there is no archive to read back.
    lha.Setting.VerifyArchive = false;
    EXPECT_EQ(0, f.Run(&lha, {}));
    std::vector<CStandInCall> calls = Calls("Unlha32.dll", "Unlha");
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, calls[0].lists.size());
    EXPECT_EQ("a -jm2 -a1 \"" + lzh + "\" \"@" + calls[0].lists[0].path + "\"", calls[0].line);
    EXPECT_EQ("\"" + f.data.Path() + "\\in\\\" \"a.txt\" -x1\r\n", calls[0].lists[0].bytes);
    EXPECT_EQ(kOld, ReadFileBytes(lzh));

    // Adding to a ZIP asks the password too, and "-u " comes first.
    std::string zip = f.data.WriteFile("out\\x.zip", kOld);
    CCompressJob zipJob = MakeJob(8, zip);
    zipJob.Setting.OverWriteAction = kOverwriteAsk;
    zipJob.Setting.VerifyArchive = false;
    zipJob.UsePassword = true;
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(0, f.Run(&zipJob,
                       {Press(kOverwriteDialog, IDC_APPEND),
                        Fill(kPasswordDialog, {{IDC_PASSWORD, "pw"}, {IDC_PASSWORD_AGAIN, "pw"}}, IDOK)},
                       &seen));
    EXPECT_EQ((std::vector<std::string>{kOverwriteDialog, kPasswordDialog}), TitlesOf(seen));
    calls = Calls("Zip32j.dll", "Zip");
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, calls[0].lists.size());
    EXPECT_EQ("-u -6 -S -P \"pw\" \"" + zip + "\" \"@" + calls[0].lists[0].path + "\"", calls[0].line);
    EXPECT_EQ(kOld, ReadFileBytes(zip));
    EXPECT_EQ((std::vector<std::string>{"x.lzh", "x.zip"}), SortedFiles(m_outFolder));
}

TEST_F(FormatJobs, SelfExtractingJobsReplaceTheOldFileOrKeepIt)
{
    std::string output = m_outFolder + "\\setup.exe";
    for (const CSfxFormat& format : kSfxFormats)
    {
        // Replacing: the old program is moved aside, then deleted after success.
        WriteFileBytes(output, kOld);
        f.standIns.Script(format.dll, "create.1=archive\ncreate.2=sfx\n");
        f.standIns.ResetJournal(format.dll);
        CCompressJob job = MakeJob(format.id, output);
        job.Setting.OverWriteAction = kOverwriteAlways;
        std::vector<CDialogScript::CSeen> seen;
        EXPECT_EQ(0, f.Run(&job, {}, &seen)) << format.id;
        EXPECT_TRUE(seen.empty()) << format.id;
        EXPECT_EQ(2u, Calls(format.dll, format.entry).size()) << format.id;
        EXPECT_EQ(0u, ReadFileBytes(output).rfind(std::string("STANDIN ") + format.entry + "\r\n", 0)) << format.id;
        EXPECT_EQ(std::vector<std::string>{"setup.exe"}, SortedFiles(m_outFolder)) << format.id;

        // The conversion fails: the DLL's text is shown and the old file is back.
        WriteFileBytes(output, kOld);
        f.standIns.Script(format.dll, "create.1=archive\ncreate.2=sfx\nresult.2=7\noutput.2=no stub\\r\\n\n");
        f.standIns.ResetJournal(format.dll);
        job = MakeJob(format.id, output);
        job.Setting.OverWriteAction = kOverwriteAlways;
        EXPECT_EQ(8, f.Run(&job, {Press(kResultDialog, IDOK)}, &seen)) << format.id;
        ASSERT_EQ(std::vector<std::string>{kResultDialog}, TitlesOf(seen)) << format.id;
        EXPECT_EQ("no stub\r\n", seen[0].window.Find(IDC_RESULT_TEXT)->text) << format.id;
        EXPECT_EQ(kOld, ReadFileBytes(output)) << format.id;
        EXPECT_EQ(std::vector<std::string>{"setup.exe"}, SortedFiles(m_outFolder)) << format.id;
    }
}

TEST_F(FormatJobs, ProgramLeftUnderItsTemporaryNameFailsTheJobAndSaysWhere)
{
    // An overwrite action that only an edited settings file holds keeps the old
    // file in place, so the program cannot take its name.
    std::string output = m_outFolder + "\\setup.exe";
    for (const CSfxFormat& format : kSfxFormats)
    {
        WriteFileBytes(output, kOld);
        f.standIns.Script(format.dll, "create.1=archive\ncreate.2=sfx\noutput.2=ok\n");
        CCompressJob job = MakeJob(format.id, output);
        job.Setting.OverWriteAction = 7;
        std::vector<CDialogScript::CSeen> seen;
        EXPECT_EQ(8, f.Run(&job, {Press(kResultDialog, IDOK)}, &seen)) << format.id;
        ASSERT_EQ(std::vector<std::string>{kResultDialog}, TitlesOf(seen)) << format.id;
        EXPECT_EQ(kOld, ReadFileBytes(output)) << format.id;

        std::vector<std::string> left = SortedFiles(m_outFolder);
        ASSERT_EQ(2u, left.size()) << format.id;
        std::string program = m_outFolder + "\\" + (left[0] == "setup.exe" ? left[1] : left[0]);
        EXPECT_EQ(0u, ReadFileBytes(program).rfind(std::string("STANDIN ") + format.entry + "\r\n", 0)) << format.id;
        EXPECT_EQ("自己解凍書庫を出力ファイル名に変更できませんでした\r\n自己解凍書庫は次のファイル名で残っています\r\n" +
                      program + "\r\nok",
                  seen[0].window.Find(IDC_RESULT_TEXT)->text)
            << format.id;
        DeleteFileA(program.c_str());
    }
}
