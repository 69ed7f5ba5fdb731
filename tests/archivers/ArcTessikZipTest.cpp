// The exact bytes the TZIP builder hands to TessikZip.dll.
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <functional>

TEST(TessikZipCommand, SwitchesFollowTheSettingsAndEveryBaseFolderHasItsList)
{
    CStandInFormats standIns({"TessikZip.dll"});
    standIns.Register();
    CTestFolder data;
    std::string first = data.MakeFolder("my data");
    std::string second = data.MakeFolder("other dir");
    std::vector<std::pair<std::string, std::string>> files = {{data.WriteFile("my data\\1 one.txt", "1"), first},
                                                              {data.WriteFile("other dir\\2.txt", "2"), second},
                                                              {data.WriteFile("my data\\s\\3.txt", "3"), first}};
    typedef CTessikZipSettings S;
    struct
    {
        const char* what;
        std::function<void(S*, CCompressJob*)> setUp;
        std::string options;
    } cases[] = {
        {"defaults", [](S*, CCompressJob*) {}, "-l6 -m:deflate -n:utf8 -t0 "},
        {"level 0, stored", [](S* s, CCompressJob*) { s->Level = 0; s->Method = ETessikZipMethod::Store; },
         "-l0 -m:store -n:utf8 -t0 "},
        {"AES, a password with a quote and a space",
         [](S*, CCompressJob* job) { job->UsePassword = true; job->Password = "pa\"ss word"; },
         "-l6 -m:deflate \"-ppa\"\"ss word\" -e:aes -n:utf8 -t0 "},
        {"a job in UTF-8 gives its password in UTF-8",
         [](S*, CCompressJob* job) { job->Utf8Names = job->UsePassword = true; job->Password = "パス"; },
         "-l6 -m:deflate \"-p\xE3\x83\x91\xE3\x82\xB9\" -e:aes -n:utf8 -t0 "},
        {"ZipCrypto, Shift_JIS, level 9, four threads, no status dialog",
         [](S* s, CCompressJob* job) {
             *s = {true, 9, ETessikZipMethod::Deflate, ETessikZipEncryption::ZipCrypto, ETessikZipNames::ShiftJis, 4};
             job->UsePassword = true;
             job->Password = "x";
             job->Setting.StatusDialog = false;
         },
         "-l9 -m:deflate \"-px\" -e:zipcrypto -n:sjis -t4 -i "},
        {"a password the job does not use", [](S*, CCompressJob* job) { job->Password = "unused"; },
         "-l6 -m:deflate -n:utf8 -t0 "},
    };
    for (const auto& c : cases)
    {
        g_tessikZipSettings = CTessikZipSettings();
        std::string output = data / "out put.zip";
        CCompressJob job = MakeJob(kOwnZipFormatId, output);
        c.setUp(&g_tessikZipSettings, &job);
        CFormatRun run = RunFormat(standIns, kOwnZipFormatId, &job, files);
        ASSERT_EQ(1u, run.calls.size()) << c.what;
        ASSERT_EQ(2u, run.listFiles.size()) << c.what;
        EXPECT_EQ("a " + c.options + "\"" + output + "\" \"" + first + "\\\" \"@" + run.listFiles[0] + "\" \"" +
                      second + "\\\" \"@" + run.listFiles[1] + "\" ",
                  run.calls[0].line)
            << c.what;
        ASSERT_EQ(2u, run.calls[0].lists.size()) << c.what;
        EXPECT_EQ("\"1 one.txt\"\r\n\"s\\3.txt\"\r\n", run.calls[0].lists[0].bytes) << c.what;
        EXPECT_EQ("\"2.txt\"\r\n", run.calls[0].lists[1].bytes) << c.what;
    }
    g_tessikZipSettings = CTessikZipSettings();
}
