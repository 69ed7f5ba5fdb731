// The exact bytes the CAB builders hand to Cab32.dll.
#include "archivers/formatsettings/CabSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <functional>

class CabCommand : public ::testing::Test
{
protected:
    CabCommand() : m_standIns(kAllStandIns)
    {
        m_standIns.Register();
        m_file = m_data.WriteFile("a.txt", "a");
    }
    ~CabCommand() override { g_cabSettings = CCabSettings(); }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
};

TEST_F(CabCommand, OptionsFollowMethodStatusDialogAndVolumes)
{
    struct
    {
        const char* what;
        std::function<void(CCompressJob*)> setUp;
        const char* options;
    } cases[] = {
        {"defaults", [](CCompressJob*) {}, "-mz "},
        {"no compression", [](CCompressJob*) { g_cabSettings.CabMode = 0; }, "-ms "},
        {"LZX level 21",
         [](CCompressJob*) {
             g_cabSettings.CabMode = 2;
             g_cabSettings.LzxLevel = 21;
         },
         "-ml:21 "},
        {"method the page does not offer", [](CCompressJob*) { g_cabSettings.CabMode = 3; }, ""},
        {"status dialog off", [](CCompressJob* job) { job->Setting.StatusDialog = false; }, "-mz -i "},
        {"volumes", [](CCompressJob*) { g_cabSettings.MultiVolume = true; }, "-mz -v:1423 "},
        {"everything, in order",
         [](CCompressJob* job) {
             g_cabSettings.CabMode = 2;
             g_cabSettings.MultiVolume = true;
             g_cabSettings.MultiVolumeSize = 0;
             job->Setting.StatusDialog = false;
         },
         "-ml:15 -i -v:0 "},
    };
    for (const auto& c : cases)
    {
        g_cabSettings = CCabSettings();
        std::string output = m_data / "out.cab";
        CCompressJob job = MakeJob(4, output);
        c.setUp(&job);
        CFormatRun run = RunFormat(m_standIns, 4, &job, {{m_file, m_data.Path()}});
        ASSERT_EQ(1u, run.calls.size()) << c.what;
        ASSERT_EQ(1u, run.listFiles.size()) << c.what;
        EXPECT_EQ(std::string("-a ") + c.options + "\"" + output + "\" \"" + m_data.Path() + "\\\" \"@" +
                      run.listFiles[0] + "\" ",
                  run.calls[0].line)
            << c.what;
        ASSERT_EQ(1u, run.calls[0].lists.size()) << c.what;
        EXPECT_EQ("\"a.txt\"\r\n", run.calls[0].lists[0].bytes) << c.what;
    }
}

TEST_F(CabCommand, EveryBaseFolderIsNamedOnceInByteOrder)
{
    std::string lower = m_data / "b";
    std::string upper = m_data / "B";
    std::string output = m_data / "out.cab";
    CCompressJob job = MakeJob(4, output);
    CFormatRun run = RunFormat(m_standIns, 4, &job,
                               {{lower + "\\1.txt", lower}, {upper + "\\2.txt", upper}, {lower + "\\s\\3.txt", lower}});
    ASSERT_EQ(1u, run.calls.size());
    ASSERT_EQ(2u, run.listFiles.size());
    EXPECT_EQ("-a -mz \"" + output + "\" \"" + upper + "\\\" \"@" + run.listFiles[0] + "\" \"" + lower + "\\\" \"@" +
                  run.listFiles[1] + "\" ",
              run.calls[0].line);
    ASSERT_EQ(2u, run.calls[0].lists.size());
    EXPECT_EQ("\"2.txt\"\r\n", run.calls[0].lists[0].bytes);
    EXPECT_EQ("\"1.txt\"\r\n\"s\\3.txt\"\r\n", run.calls[0].lists[1].bytes);
}

TEST_F(CabCommand, SelfExtractingFormMakesATemporaryCabinetThenConvertsIt)
{
    m_standIns.Script("Cab32.dll", "create.1=archive\ncreate.2=sfx\n");
    g_cabSettings.CabMode = 2;
    g_cabSettings.LzxLevel = 18;
    std::string folder = m_data.MakeFolder("out");
    CCompressJob job = MakeJob(5, folder + "\\setup.exe");
    job.Setting.StatusDialog = false;
    CFormatRun run = RunFormat(m_standIns, 5, &job, {{m_file, m_data.Path()}});

    EXPECT_EQ(0, run.result);
    ASSERT_EQ(2u, run.calls.size());
    std::string cabinet = FindTemporaryName(run.calls[0].line, folder, "cb", ".cab");
    ASSERT_NE("", cabinet) << run.calls[0].line;
    EXPECT_EQ("-a -ml:18 -i \"" + cabinet + "\" \"" + m_data.Path() + "\\\" \"@" + run.listFiles[0] + "\" ",
              run.calls[0].line);
    EXPECT_EQ("-f \"" + cabinet + "\" \"" + folder + "\\\"", run.calls[1].line);
    EXPECT_EQ("STANDIN Cab\r\n", ReadFileBytes(folder + "\\setup.exe"));
}
