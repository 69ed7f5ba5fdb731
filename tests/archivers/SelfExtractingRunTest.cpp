// The two-call run of the CAB, LHA and ZIP self-extracting builders when it
// fails: what is left in the output folder and what the job is told. Success
// and the program that cannot take the output name run as whole jobs
// (tests/app/FormatJobsTest.cpp).
#include "archivers/formats/SelfExtractingRun.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

namespace {

struct CSfxFormat
{
    int id;
    const char* prefix;
    const char* extension;
};

const CSfxFormat kSfxFormats[] = {{5, "cb", ".cab"}, {7, "lh", ".lzh"}, {9, "zp", ".zip"}};

bool IsEmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do
    {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            empty = false;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return empty;
}

}  // namespace

class SelfExtractingRun : public ::testing::Test
{
protected:
    SelfExtractingRun() : m_standIns(kAllStandIns)
    {
        m_standIns.Register();
        m_file = m_data.WriteFile("in\\a.txt", "a");
        m_folder = m_data.MakeFolder("out");
    }

    CFormatRun Run(const CSfxFormat& format, const std::string& script)
    {
        m_standIns.Script(DllOf(format.id), script);
        CCompressJob job = MakeJob(format.id, m_folder + "\\setup.exe");
        CFormatRun run = RunFormat(m_standIns, format.id, &job, {{m_file, m_data / "in"}});
        if (!run.calls.empty())
        {
            EXPECT_NE("", FindTemporaryName(run.calls[0].line, m_folder, format.prefix, format.extension))
                << run.calls[0].line;
        }
        EXPECT_EQ(nullptr, GetModuleHandleA(DllOf(format.id))) << format.id;
        return run;
    }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
    std::string m_folder;
};

TEST_F(SelfExtractingRun, FailedCommandsLeaveNothingBehind)
{
    for (const CSfxFormat& format : kSfxFormats)
    {
        // The first call fails after writing part of the archive: no second call.
        CFormatRun run = Run(format, "result.1=4\noutput.1=cannot pack\ncreate.1=archive\n");
        EXPECT_EQ(4, run.result) << format.id;
        EXPECT_EQ("cannot pack", run.output) << format.id;
        EXPECT_EQ(1u, run.calls.size()) << format.id;
        EXPECT_TRUE(IsEmptyFolder(m_folder)) << format.id;

        // The conversion fails after writing part of the program: that program
        // must not take the output name.
        run = Run(format, "result.2=5\noutput.2=cannot convert\ncreate.1=archive\ncreate.2=sfx\n");
        EXPECT_EQ(5, run.result) << format.id;
        EXPECT_EQ("cannot convert", run.output) << format.id;
        EXPECT_EQ(2u, run.calls.size()) << format.id;
        EXPECT_TRUE(IsEmptyFolder(m_folder)) << format.id;

        // Success reported without a program is no success.
        run = Run(format, "create.1=archive\noutput.2=ok\n");
        EXPECT_EQ(kSfxProgramNotMade, run.result) << format.id;
        EXPECT_EQ("アーカイバーDLLは成功を返しましたが、自己解凍書庫が作成されていません\r\nok", run.output)
            << format.id;
        EXPECT_TRUE(IsEmptyFolder(m_folder)) << format.id;
    }
}

TEST_F(SelfExtractingRun, OutputFolderTooLongForATemporaryNameCallsNothing)
{
    // Room for "\a.exe" but not for "\cb" + eight digits + ".cab".
    std::string folder = "C:\\" + std::string(1008, 'f');
    CCompressJob job = MakeJob(5, folder + "\\a.exe");
    CFormatRun run = RunFormat(m_standIns, 5, &job, {{m_file, m_data / "in"}});
    EXPECT_EQ(kSfxNoTemporaryName, run.result);
    EXPECT_EQ("出力フォルダに一時ファイルを作成できないため、自己解凍書庫を作成できませんでした\r\n"
              "出力フォルダを確認してください\r\n" +
                  folder,
              run.output);
    EXPECT_TRUE(run.calls.empty());
}
