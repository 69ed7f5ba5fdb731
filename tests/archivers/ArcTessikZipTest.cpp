// The exact bytes the TZIP builder hands to TessikZip.dll, and its archive
// read back through the DLL's own listing and check entries.
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <functional>

class TessikZipCommand : public ::testing::Test
{
protected:
    TessikZipCommand() : m_standIns({"TessikZip.dll"})
    {
        m_standIns.Register();
        m_file = m_data.WriteFile("a.txt", "a");
    }
    ~TessikZipCommand() override { g_tessikZipSettings = CTessikZipSettings(); }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_file;
};

TEST_F(TessikZipCommand, SwitchesFollowTheSettingsPasswordAndStatusDialog)
{
    struct
    {
        const char* what;
        std::function<void(CCompressJob*)> setUp;
        std::string options;
    } cases[] = {
        {"defaults", [](CCompressJob*) {}, "-l6 -m:deflate -n:utf8 -t0 "},
        {"level 0, stored",
         [](CCompressJob*) {
             g_tessikZipSettings.Level = 0;
             g_tessikZipSettings.Method = ETessikZipMethod::Store;
         },
         "-l0 -m:store -n:utf8 -t0 "},
        {"AES, a password with a quote and a space",
         [](CCompressJob* job) {
             job->UsePassword = true;
             job->Password = "pa\"ss word";
         },
         "-l6 -m:deflate \"-ppa\"\"ss word\" -e:aes -n:utf8 -t0 "},
        {"ZipCrypto",
         [](CCompressJob* job) {
             g_tessikZipSettings.Encryption = ETessikZipEncryption::ZipCrypto;
             job->UsePassword = true;
             job->Password = "\"";
         },
         "-l6 -m:deflate \"-p\"\"\" -e:zipcrypto -n:utf8 -t0 "},
        {"a password the job does not use",
         [](CCompressJob* job) {
             g_tessikZipSettings.Encryption = ETessikZipEncryption::ZipCrypto;
             job->Password = "unused";
         },
         "-l6 -m:deflate -n:utf8 -t0 "},
        {"a password of a job in UTF-8",
         [](CCompressJob* job) {
             job->Utf8Names = true;
             job->UsePassword = true;
             job->Password = "パス";
         },
         "-l6 -m:deflate \"-p\xE3\x83\x91\xE3\x82\xB9\" -e:aes -n:utf8 -t0 "},
        {"Shift_JIS names, level 9, four threads",
         [](CCompressJob*) {
             g_tessikZipSettings.Names = ETessikZipNames::ShiftJis;
             g_tessikZipSettings.Level = 9;
             g_tessikZipSettings.Threads = 4;
         },
         "-l9 -m:deflate -n:sjis -t4 "},
        {"status dialog off", [](CCompressJob* job) { job->Setting.StatusDialog = false; },
         "-l6 -m:deflate -n:utf8 -t0 -i "},
    };
    for (const auto& c : cases)
    {
        g_tessikZipSettings = CTessikZipSettings();
        std::string output = m_data / "out.zip";
        CCompressJob job = MakeJob(kOwnZipFormatId, output);
        c.setUp(&job);
        CFormatRun run = RunFormat(m_standIns, kOwnZipFormatId, &job, {{m_file, m_data.Path()}});
        ASSERT_EQ(1u, run.calls.size()) << c.what;
        ASSERT_EQ(1u, run.listFiles.size()) << c.what;
        EXPECT_EQ("a " + c.options + "\"" + output + "\" \"" + m_data.Path() + "\\\" \"@" + run.listFiles[0] + "\" ",
                  run.calls[0].line)
            << c.what;
        ASSERT_EQ(1u, run.calls[0].lists.size()) << c.what;
        EXPECT_EQ("\"a.txt\"\r\n", run.calls[0].lists[0].bytes) << c.what;
    }
}

TEST_F(TessikZipCommand, BaseFoldersWithSpacesEachWithTheirListAndTheArchiveReadsBack)
{
    m_standIns.Script("TessikZip.dll", "create=archive\n");
    std::string first = m_data / "my data";
    std::string second = m_data / "other dir";
    m_data.WriteFile("my data\\1 one.txt", "1");
    m_data.WriteFile("my data\\sub dir\\3.txt", "333");
    m_data.WriteFile("other dir\\2.txt", "22");
    std::string output = m_data / "out put.zip";
    CCompressJob job = MakeJob(kOwnZipFormatId, output);
    CFormatRun run = RunFormat(m_standIns, kOwnZipFormatId, &job,
                               {{first + "\\1 one.txt", first},
                                {second + "\\2.txt", second},
                                {first + "\\sub dir\\3.txt", first}});
    ASSERT_EQ(1u, run.calls.size());
    ASSERT_EQ(2u, run.listFiles.size());
    EXPECT_EQ("a -l6 -m:deflate -n:utf8 -t0 \"" + output + "\" \"" + first + "\\\" \"@" + run.listFiles[0] +
                  "\" \"" + second + "\\\" \"@" + run.listFiles[1] + "\" ",
              run.calls[0].line);
    ASSERT_EQ(2u, run.calls[0].lists.size());
    EXPECT_EQ("\"1 one.txt\"\r\n\"sub dir\\3.txt\"\r\n", run.calls[0].lists[0].bytes);
    EXPECT_EQ("\"2.txt\"\r\n", run.calls[0].lists[1].bytes);

    CArc* arc = FindFormat(kOwnZipFormatId);
    std::vector<CArchiveFile> files;
    ASSERT_EQ(EArchiveRead::Read, arc->ReadArchive(output, &files));
    ASSERT_EQ(3u, files.size());
    EXPECT_EQ(L"1 one.txt", files[0].name);
    EXPECT_EQ(1u, files[0].size);
    EXPECT_EQ(L"sub dir\\3.txt", files[1].name);
    EXPECT_EQ(3u, files[1].size);
    EXPECT_EQ(L"2.txt", files[2].name);
    EXPECT_EQ(EArchiveTest::Passed, arc->TestArchive(output));
}
