// The exact bytes the TZIP and T7Z builders hand to TessikZip.dll and Tessik7z.dll.
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/Tessik7zSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "tests/archivers/FormatRun.h"

#include <gtest/gtest.h>

#include <functional>

TEST(OwnDllCommand, SwitchesFollowTheSettingsAndEveryBaseFolderHasItsList)
{
    CStandInFormats standIns({"TessikZip.dll", "Tessik7z.dll"});
    standIns.Register();
    CTestFolder data;
    std::string first = data.MakeFolder("my data");
    std::string second = data.MakeFolder("other dir");
    std::vector<std::pair<std::string, std::string>> files = {{data.WriteFile("my data\\1 one.txt", "1"), first},
                                                              {data.WriteFile("other dir\\2.txt", "2"), second},
                                                              {data.WriteFile("my data\\s\\3.txt", "3"), first}};
    CTessikZipSettings& zip = g_tessikZipSettings;
    CTessik7zSettings& sevenZ = g_tessik7zSettings;
    const int kZip = kOwnZipFormatId;
    const int kSevenZ = kOwnSevenZipFormatId;
    struct
    {
        const char* what;
        int id;
        std::function<void(CCompressJob*)> setUp;
        std::string options;
        bool namesNeedPassword = false;  // the read back cannot list the archive
    } cases[] = {
        {"defaults", kZip, [](CCompressJob*) {}, "-l6 -m:deflate -n:utf8 -t0 "},
        {"level 0, stored", kZip, [&](CCompressJob*) { zip.Level = 0; zip.Method = ETessikZipMethod::Store; },
         "-l0 -m:store -n:utf8 -t0 "},
        {"AES, a password with a quote and a space", kZip,
         [](CCompressJob* job) { job->UsePassword = true; job->Password = "pa\"ss word"; },
         "-l6 -m:deflate \"-ppa\"\"ss word\" -e:aes -n:utf8 -t0 "},
        {"a job in UTF-8 gives its password in UTF-8", kZip,
         [](CCompressJob* job) { job->Utf8Names = job->UsePassword = true; job->Password = "パス"; },
         "-l6 -m:deflate \"-p\xE3\x83\x91\xE3\x82\xB9\" -e:aes -n:utf8 -t0 "},
        {"ZipCrypto, Shift_JIS, level 9, four threads, no status dialog", kZip,
         [&](CCompressJob* job) {
             zip = {true, 9, ETessikZipMethod::Deflate, ETessikZipEncryption::ZipCrypto, ETessikZipNames::ShiftJis, 4};
             job->UsePassword = true;
             job->Password = "x";
             job->Setting.StatusDialog = false;
         },
         "-l9 -m:deflate \"-px\" -e:zipcrypto -n:sjis -t4 -i "},
        {"a password the job does not use", kZip, [](CCompressJob* job) { job->Password = "unused"; },
         "-l6 -m:deflate -n:utf8 -t0 "},
        {"7z defaults", kSevenZ, [](CCompressJob*) {}, "-l5 -s:on -t0 "},
        {"7z level 0, stored", kSevenZ, [&](CCompressJob*) { sevenZ.Level = 0; }, "-l0 -s:on -t0 "},
        {"7z not solid: no block limits", kSevenZ,
         [&](CCompressJob*) {
             sevenZ.Solid = false;
             sevenZ.SolidBlock = 64;
             sevenZ.SolidFiles = 100;
         },
         "-l5 -s:off -t0 "},
        {"7z solid blocks of 100 files", kSevenZ, [&](CCompressJob*) { sevenZ.SolidFiles = 100; },
         "-l5 -s:on -sf:100 -t0 "},
        {"7z solid blocks of 64 MiB", kSevenZ, [&](CCompressJob*) { sevenZ.SolidBlock = 64; },
         "-l5 -s:on -sb:64 -t0 "},
        {"7z level 9, the largest block, four threads, no status dialog", kSevenZ,
         [&](CCompressJob* job) {
             sevenZ.Level = 9;
             sevenZ.SolidBlock = kTessik7zLargestSolidBlock;
             sevenZ.Threads = 4;
             job->Setting.StatusDialog = false;
         },
         "-l9 -s:on -sb:1048576 -t4 -i "},
        {"7z password with a quote and a space, names encrypted too", kSevenZ,
         [&](CCompressJob* job) {
             sevenZ.EncryptHeader = true;
             job->UsePassword = true;
             job->Password = "pa\"ss word";
         },
         "-l5 -s:on \"-ppa\"\"ss word\" -he -t0 ", true},
        {"7z password, names in the open", kSevenZ,
         [](CCompressJob* job) { job->UsePassword = true; job->Password = "x"; }, "-l5 -s:on \"-px\" -t0 "},
        {"7z names encrypted, but no password: the DLL would refuse -he", kSevenZ,
         [&](CCompressJob* job) { sevenZ.EncryptHeader = true; job->Password = "unused"; }, "-l5 -s:on -t0 "},
        {"7z job in UTF-8 gives its password in UTF-8", kSevenZ,
         [](CCompressJob* job) { job->Utf8Names = job->UsePassword = true; job->Password = "パス"; },
         "-l5 -s:on \"-p\xE3\x83\x91\xE3\x82\xB9\" -t0 "},
    };
    for (const auto& c : cases)
    {
        zip = CTessikZipSettings();
        sevenZ = CTessik7zSettings();
        std::string output = data / (c.id == kZip ? "out put.zip" : "out put.7z");
        CCompressJob job = MakeJob(c.id, output);
        c.setUp(&job);
        CFormatRun run = RunFormat(standIns, c.id, &job, files);
        ASSERT_EQ(1u, run.calls.size()) << c.what;
        ASSERT_EQ(2u, run.listFiles.size()) << c.what;
        EXPECT_EQ("a " + c.options + "\"" + output + "\" \"" + first + "\\\" \"@" + run.listFiles[0] + "\" \"" +
                      second + "\\\" \"@" + run.listFiles[1] + "\" ",
                  run.calls[0].line)
            << c.what;
        ASSERT_EQ(2u, run.calls[0].lists.size()) << c.what;
        EXPECT_EQ("\"1 one.txt\"\r\n\"s\\3.txt\"\r\n", run.calls[0].lists[0].bytes) << c.what;
        EXPECT_EQ("\"2.txt\"\r\n", run.calls[0].lists[1].bytes) << c.what;
        EXPECT_EQ(c.namesNeedPassword, FindFormat(c.id)->NamesNeedPassword()) << c.what;
    }
    zip = CTessikZipSettings();
    sevenZ = CTessik7zSettings();
}
