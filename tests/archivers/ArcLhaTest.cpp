// The exact bytes the LHA builders hand to Unlha32.dll.
#include "archivers/formatsettings/LhaSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

class LhaCommand : public ::testing::Test
{
protected:
    LhaCommand() : m_standIns(kAllStandIns)
    {
        m_standIns.Register();
        m_file = m_data.WriteFile("docs\\a.txt", "a");
    }
    ~LhaCommand() override { g_lhaSettings = CLhaSettings(); }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
};

TEST_F(LhaCommand, OptionsFollowStatusDialogAndMethodWithoutTrailingSpace)
{
    struct
    {
        int method;
        bool statusDialog;
        const char* options;
    } cases[] = {
        {0, true, "-jm2 -a1 "},
        {1, true, "-jm3 -a1 "},
        {2, false, "-n1 -jm4 -a1 "},
        {3, true, "-a1 "},
    };
    for (const auto& c : cases)
    {
        g_lhaSettings.LhaMode = c.method;
        std::string output = m_data / "out.lzh";
        CCompressJob job = MakeJob(6, output);
        job.Setting.StatusDialog = c.statusDialog;
        CFormatRun run = RunFormat(m_standIns, 6, &job, {{m_file, m_data.Path()}});
        ASSERT_EQ(1u, run.calls.size()) << c.method;
        EXPECT_EQ(std::string("a ") + c.options + "\"" + output + "\" \"@" + run.listFiles[0] + "\"",
                  run.calls[0].line)
            << c.method;
        ASSERT_EQ(1u, run.calls[0].lists.size());
        EXPECT_EQ("\"" + m_data.Path() + "\\\" \"docs\\a.txt\" -x1\r\n", run.calls[0].lists[0].bytes);
    }
}

TEST_F(LhaCommand, SelfExtractingConversionSwitchesFollowKindAndSetup)
{
    m_standIns.Script("Unlha32.dll", "create.1=archive\ncreate.2=sfx\n");
    std::string folder = m_data.MakeFolder("out");
    std::string output = folder + "\\setup.exe";
    struct
    {
        int kind;
        bool setup;
        bool statusDialog;
        const char* options;
    } cases[] = {
        {0, false, true, "-x1 -jw0 -ji1 -gu1 "},
        {0, true, true, "-x1 -jw0 -ji1 -gu1 "},
        {1, false, true, "-jw2 -gu1 -x "},
        {1, true, true, "-jw1 -gu1 -x "},
        {2, false, true, "-gw2 -x "},
        {2, true, true, "-gw1 -x "},
        {3, false, true, "-gw4 -x "},
        {3, true, true, "-gw3 -x "},
        {4, true, true, ""},
        {-1, false, true, ""},
        {2, false, false, "-n1 -gw2 -x "},
        {4, false, false, "-n1 "},
    };
    for (const auto& c : cases)
    {
        g_lhaSettings.SfxMode = c.kind;
        g_lhaSettings.SfxSetup = c.setup;
        g_lhaSettings.LhaMode = 1;
        DeleteFileA(output.c_str());
        CCompressJob job = MakeJob(7, output);
        job.Setting.StatusDialog = c.statusDialog;
        CFormatRun run = RunFormat(m_standIns, 7, &job, {{m_file, m_data.Path()}});
        std::string what = std::to_string(c.kind) + (c.setup ? " setup" : "") + (c.statusDialog ? "" : " hidden");
        EXPECT_EQ(0, run.result) << what;
        ASSERT_EQ(2u, run.calls.size()) << what;
        std::string archive = FindTemporaryName(run.calls[0].line, folder, "lh", ".lzh");
        ASSERT_NE("", archive) << run.calls[0].line;
        EXPECT_EQ(std::string("a ") + (c.statusDialog ? "" : "-n1 ") + "-jm3 -a1 \"" + archive + "\" \"@" +
                      run.listFiles[0] + "\"",
                  run.calls[0].line)
            << what;
        EXPECT_EQ(std::string("s ") + c.options + "\"" + archive + "\" \"" + folder + "\\\"", run.calls[1].line)
            << what;
        EXPECT_EQ("STANDIN Unlha\r\n", ReadFileBytes(output)) << what;
    }
}
