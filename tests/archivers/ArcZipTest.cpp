// The exact bytes the Zip32j builders hand to Zip32j.dll.
#include "archivers/formatsettings/ZipSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <functional>

class ZipCommand : public ::testing::Test
{
protected:
    ZipCommand() : m_standIns(kAllStandIns)
    {
        m_standIns.Register();
        m_file = m_data.WriteFile("a.txt", "a");
    }
    ~ZipCommand() override { g_zipSettings = CZipSettings(); }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
};

TEST_F(ZipCommand, OptionsFollowJobAndSettingsWithoutCommandWordOrTrailingSpace)
{
    struct
    {
        const char* what;
        std::function<void(CCompressJob*)> setUp;
        const char* options;
    } cases[] = {
        {"defaults", [](CCompressJob*) {}, "-6 -S "},
        {"level 9, status off, both conversions",
         [](CCompressJob* job) {
             g_zipSettings.ZipMode = 9;
             g_zipSettings.Crlf2Lf = true;
             g_zipSettings.Lf2Crlf = true;
             job->Setting.StatusDialog = false;
         },
         "-9 -q -S -ll -l "},
        {"adding to an existing archive",
         [](CCompressJob* job) {
             job->OutputExists = true;
             job->Setting.OverWriteAction = kOverwriteAppend;
             g_zipSettings.ZipMode = 0;
         },
         "-u -0 -S "},
        {"replacing an existing archive",
         [](CCompressJob* job) {
             job->OutputExists = true;
             job->Setting.OverWriteAction = kOverwriteAlways;
         },
         "-6 -S "},
        {"add action but a new file",
         [](CCompressJob* job) { job->Setting.OverWriteAction = kOverwriteAppend; }, "-6 -S "},
        {"password last, quoted as typed",
         [](CCompressJob* job) {
             job->UsePassword = true;
             job->Password = "p w";
             g_zipSettings.Lf2Crlf = true;
         },
         "-6 -S -l -P \"p w\" "},
    };
    for (const auto& c : cases)
    {
        g_zipSettings = CZipSettings();
        std::string output = m_data / "out.zip";
        CCompressJob job = MakeJob(8, output);
        c.setUp(&job);
        CFormatRun run = RunFormat(m_standIns, 8, &job, {{m_file, m_data.Path()}});
        ASSERT_EQ(1u, run.calls.size()) << c.what;
        EXPECT_EQ(std::string(c.options) + "\"" + output + "\" \"@" + run.listFiles[0] + "\"", run.calls[0].line)
            << c.what;
        ASSERT_EQ(1u, run.calls[0].lists.size()) << c.what;
        EXPECT_EQ("\"" + m_data.Path() + "\\\" \"a.txt\"\r\n", run.calls[0].lists[0].bytes) << c.what;
    }
}

TEST_F(ZipCommand, SelfExtractingFormZipsUnderATemporaryNameThenConvertsIt)
{
    m_standIns.Script("Zip32j.dll", "create.1=archive\ncreate.2=sfx\n");
    std::string folder = m_data.MakeFolder("out");
    std::string output = folder + "\\setup.exe";
    CCompressJob job = MakeJob(9, output);
    job.UsePassword = true;
    job.Password = "k";
    CFormatRun run = RunFormat(m_standIns, 9, &job, {{m_file, m_data.Path()}});

    EXPECT_EQ(0, run.result);
    ASSERT_EQ(2u, run.calls.size());
    std::string archive = FindTemporaryName(run.calls[0].line, folder, "zp", ".zip");
    ASSERT_NE("", archive) << run.calls[0].line;
    EXPECT_EQ("-6 -S -P \"k\" \"" + archive + "\" \"@" + run.listFiles[0] + "\"", run.calls[0].line);
    EXPECT_EQ("--sfx \"" + archive + "\"", run.calls[1].line);
    EXPECT_EQ(0u, ReadFileBytes(output).rfind("STANDIN Zip\r\n", 0));
}
