// The two-call run of the CAB, LHA and ZIP self-extracting builders: what is
// left in the output folder and what the job is told, on every path.
#include "archivers/SelfExtractingRun.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct CSfxFormat
{
    int id;
    const char* prefix;
    const char* extension;
};

const CSfxFormat kSfxFormats[] = {{5, "cb", ".cab"}, {7, "lh", ".lzh"}, {9, "zp", ".zip"}};

const char kNotRenamed[] =
    "自己解凍書庫を出力ファイル名に変更できませんでした\r\n自己解凍書庫は次のファイル名で残っています\r\n";

std::vector<std::string> FolderContents(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('\\') + 1);
}

std::string WithExe(const std::string& path)
{
    return path.substr(0, path.rfind('.')) + ".exe";
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
        m_output = m_folder + "\\setup.exe";
    }

    // Runs format with the stand-in script; the temporary archive the first
    // line named lands in *archive.
    CFormatRun Run(const CSfxFormat& format, const std::string& script, std::string* archive)
    {
        m_standIns.Script(DllOf(format.id), script);
        CCompressJob job = MakeJob(format.id, m_output);
        CFormatRun run = RunFormat(m_standIns, format.id, &job, {{m_file, m_data / "in"}});
        archive->clear();
        if (!run.calls.empty())
            *archive = FindTemporaryName(run.calls[0].line, m_folder, format.prefix, format.extension);
        EXPECT_NE("", *archive) << format.id;
        EXPECT_EQ(nullptr, GetModuleHandleA(DllOf(format.id))) << format.id;
        return run;
    }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
    std::string m_folder;
    std::string m_output;
};

TEST_F(SelfExtractingRun, SuccessLeavesOnlyTheProgramUnderTheOutputName)
{
    for (const CSfxFormat& format : kSfxFormats)
    {
        std::string archive;
        CFormatRun run = Run(format, "create.1=archive\ncreate.2=sfx\noutput.2=made\\r\\n\n", &archive);
        EXPECT_EQ(0, run.result) << format.id;
        EXPECT_EQ("made\r\n", run.output) << format.id;
        ASSERT_EQ(2u, run.calls.size()) << format.id;
        EXPECT_NE(std::string::npos, run.calls[1].line.find("\"" + archive + "\"")) << format.id;
        EXPECT_EQ(std::string("STANDIN ") + EntryOf(format.id) + "\r\n", ReadFileBytes(m_output)) << format.id;
        EXPECT_EQ(std::vector<std::string>{"setup.exe"}, FolderContents(m_folder)) << format.id;
        DeleteFileA(m_output.c_str());
    }
}

TEST_F(SelfExtractingRun, FailedCommandsLeaveNothingBehind)
{
    for (const CSfxFormat& format : kSfxFormats)
    {
        // The first call fails after writing part of the archive: no second call.
        std::string archive;
        CFormatRun run = Run(format, "result.1=4\noutput.1=cannot pack\ncreate.1=archive\n", &archive);
        EXPECT_EQ(4, run.result) << format.id;
        EXPECT_EQ("cannot pack", run.output) << format.id;
        EXPECT_EQ(1u, run.calls.size()) << format.id;
        EXPECT_TRUE(FolderContents(m_folder).empty()) << format.id;

        // The conversion fails after writing part of the program: that program
        // must not take the output name.
        run = Run(format, "result.2=5\noutput.2=cannot convert\ncreate.1=archive\ncreate.2=sfx\n", &archive);
        EXPECT_EQ(5, run.result) << format.id;
        EXPECT_EQ("cannot convert", run.output) << format.id;
        EXPECT_EQ(2u, run.calls.size()) << format.id;
        EXPECT_TRUE(FolderContents(m_folder).empty()) << format.id;

        // Success reported without a program is no success.
        run = Run(format, "create.1=archive\n", &archive);
        EXPECT_EQ(kSfxProgramNotMade, run.result) << format.id;
        EXPECT_EQ("アーカイバーDLLは成功を返しましたが、自己解凍書庫が作成されていません\r\n", run.output)
            << format.id;
        EXPECT_TRUE(FolderContents(m_folder).empty()) << format.id;
    }
}

TEST_F(SelfExtractingRun, ProgramThatCannotTakeTheOutputNameIsReportedWithItsName)
{
    // The output name is taken (an overwrite action only an edited settings
    // file can hold leaves the old file in place).
    WriteFileBytes(m_output, "OLD");
    for (const CSfxFormat& format : kSfxFormats)
    {
        std::string archive;
        CFormatRun run = Run(format, "create.1=archive\ncreate.2=sfx\noutput.2=done\n", &archive);
        std::string program = WithExe(archive);
        EXPECT_EQ(kSfxProgramNotRenamed, run.result) << format.id;
        EXPECT_EQ(kNotRenamed + program + "\r\ndone", run.output) << format.id;
        EXPECT_EQ("OLD", ReadFileBytes(m_output)) << format.id;
        EXPECT_EQ(std::string("STANDIN ") + EntryOf(format.id) + "\r\n", ReadFileBytes(program)) << format.id;
        std::vector<std::string> expected = {NameOf(program), "setup.exe"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FolderContents(m_folder)) << format.id;
        DeleteFileA(program.c_str());
    }
}

TEST_F(SelfExtractingRun, OutputFolderTooLongForATemporaryNameCallsNothing)
{
    // Room for "\setup.exe" but not for "\cb" + eight digits + ".cab".
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
