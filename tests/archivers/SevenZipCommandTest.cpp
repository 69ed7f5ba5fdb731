// The exact bytes the 7-Zip32 builders hand to 7-Zip32.dll: option order,
// spacing, quoting, the self-extracting switch and the list files.
#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "tests/archivers/StandInFormats.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct CRun
{
    int result = 0;
    std::string output;
    CStandInCall call;
    std::vector<std::string> listFiles;  // as the builder named them, in map order
};

// Builds one job's list with the given (path, base) pairs and runs the builder.
CRun RunBuilder(const CStandInFormats& standIns, int id, CCompressJob* job,
                const std::vector<std::pair<std::string, std::string>>& files)
{
    CRun run;
    CArc7Zip* arc = dynamic_cast<CArc7Zip*>(FindFormat(id));
    if (arc == nullptr)
    {
        ADD_FAILURE() << "format " << id << " is not registered";
        return run;
    }
    standIns.ResetJournal("7-Zip32.dll");
    EXPECT_EQ(1, arc->BeginList(job));
    for (const auto& file : files)
        EXPECT_EQ(1, arc->AddFile(file.first.c_str(), file.second.c_str()));
    arc->EndList();
    for (const auto& entry : arc->ListFiles())
        run.listFiles.push_back(entry.second);
    char output[4096] = "";
    run.result = arc->Run(NULL, output, sizeof(output));
    run.output = output;
    arc->Cleanup();
    std::vector<CStandInCall> calls = standIns.Calls("7-Zip32.dll", "SevenZip");
    EXPECT_EQ(1u, calls.size());
    if (!calls.empty())
        run.call = calls[0];
    return run;
}

}  // namespace

class SevenZipCommand : public ::testing::Test
{
protected:
    SevenZipCommand() : m_standIns(kSevenZipStandIns)
    {
        m_standIns.Script("7-Zip32.dll", "version=431\n");
        m_standIns.Register();
        m_base = m_data.Path();
        m_file = m_data.WriteFile("a.txt", "a");
        m_output = m_data / "out.7z";
    }

    // The line for a job whose one list file holds a.txt.
    std::string Expected(const char* command, const std::string& options, const CRun& run) const
    {
        std::string list = run.listFiles.empty() ? std::string() : run.listFiles[0];
        return std::string(command) + options + "\"" + m_output + "\" \"" + m_base + "\\\" -ir-\"@" + list + "\" ";
    }

    CStandInFormats m_standIns;
    CTestFolder m_data;
    std::string m_base;
    std::string m_file;
    std::string m_output;
};

TEST_F(SevenZipCommand, OptionsFollowSettingsStatusDialogAndPassword)
{
    struct
    {
        const char* what;
        int id;
        std::function<void(CCompressJob*)> setUp;
        const char* command;
        const char* options;
    } cases[] = {
        {"7z defaults", 0, [](CCompressJob*) {}, "a -t7z ",
         "-mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"status dialog off", 0, [](CCompressJob* job) { job->Setting.StatusDialog = false; }, "a -t7z ",
         "-hide -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"password with blank, unescaped",
         0,
         [](CCompressJob* job) {
             job->UsePassword = true;
             job->Password = "pa ss\\";
         },
         "a -t7z ", "\"-ppa ss\\\" -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"every switch turned",
         0,
         [](CCompressJob*) {
             g_sevenZipSettings.SevenZMode = 0;
             g_sevenZipSettings.SevenZSolid = false;
             g_sevenZipSettings.SevenZFilter = false;
             g_sevenZipSettings.SevenZHeaderComp = false;
             g_sevenZipSettings.SevenZHeaderCompFull = false;
             g_sevenZipSettings.SevenZHeaderCrypt = true;
             g_sevenZipSettings.SevenZAlgorithm = "PPMd";
         },
         "a -t7z ", "-mx=0 -ms=off -mf=off -mhc=off -mhcf=off -mhe=on -m0=PPMd "},
        {"custom options verbatim",
         0,
         [](CCompressJob*) {
             g_sevenZipSettings.SevenZCompCommandUse = true;
             g_sevenZipSettings.SevenZCompCommand = " -mx=9 -mmt ";
         },
         "a -t7z ", " -mx=9 -mmt  "},
        {"empty custom options, status dialog off",
         0,
         [](CCompressJob* job) {
             job->Setting.StatusDialog = false;
             g_sevenZipSettings.SevenZCompCommandUse = true;
         },
         "a -t7z ", "-hide  "},
        {"sfx default module", 1, [](CCompressJob*) {}, "a -t7z ",
         "-sfx7z.sfx -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"sfx builtin", 1, [](CCompressJob*) { g_sevenZipSettings.SevenZSfx = "builtin"; }, "a -t7z ",
         "-sfx -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"sfx Builtin is a module name", 1, [](CCompressJob*) { g_sevenZipSettings.SevenZSfx = "Builtin"; },
         "a -t7z ", "-sfxBuiltin -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"sfx switch first, then hide and password",
         1,
         [](CCompressJob* job) {
             g_sevenZipSettings.SevenZSfx = "7zCon.sfx";
             job->Setting.StatusDialog = false;
             job->UsePassword = true;
             job->Password = "k";
         },
         "a -t7z ", "-sfx7zCon.sfx -hide \"-pk\" -mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA "},
        {"zip defaults", 2, [](CCompressJob*) {}, "a -tzip ", "-mx=5 -mm=Deflate -mfb=32 -mpass=1 "},
        {"zip takes the 7z custom options never",
         2,
         [](CCompressJob* job) {
             g_sevenZipSettings.SevenZCompCommandUse = true;
             g_sevenZipSettings.SevenZHeaderCrypt = true;
             g_sevenZipSettings.SevenZipMode = 9;
             g_sevenZipSettings.SevenZipAlgorithm = "BZip2";
             g_sevenZipSettings.SevenZipFastBytes = 300;
             g_sevenZipSettings.SevenZipPasses = 4;
             job->Setting.StatusDialog = false;
             job->UsePassword = true;
             job->Password = "zz";
         },
         "a -tzip ", "-hide \"-pzz\" -mx=9 -mm=BZip2 -mfb=300 -mpass=4 "},
    };
    for (const auto& c : cases)
    {
        g_sevenZipSettings = CSevenZipSettings();
        m_output = m_data / (c.id == 1 ? "out.exe" : c.id == 2 ? "out.zip" : "out.7z");
        CCompressJob job = MakeJob(c.id, m_output);
        c.setUp(&job);
        CRun run = RunBuilder(m_standIns, c.id, &job, {{m_file, m_base}});
        ASSERT_EQ(1u, run.listFiles.size()) << c.what;
        EXPECT_EQ(Expected(c.command, c.options, run), run.call.line) << c.what;
        ASSERT_EQ(1u, run.call.lists.size()) << c.what;
        EXPECT_EQ("\"a.txt\"\r\n", run.call.lists[0].bytes) << c.what;
    }
    g_sevenZipSettings = CSevenZipSettings();
}

TEST_F(SevenZipCommand, BaseFoldersAreNamedOnceInByteOrderEachWithItsOwnList)
{
    // Interleaved bases: "b" arrives first, "B" sorts first (0x42 < 0x62).
    std::string lower = m_data / "b";
    std::string upper = m_data / "B";
    std::string folder = m_data / "表";  // 0x95 0x5C: the trail byte is a backslash
    CCompressJob job = MakeJob(0, m_output);
    CRun run = RunBuilder(m_standIns, 0, &job,
                          {{lower + "\\one.txt", lower},
                           {upper + "\\two.txt", upper},
                           {lower + "\\sub\\three.txt", lower},
                           {folder + "\\ソ\\four.txt", folder}});
    ASSERT_EQ(3u, run.listFiles.size());
    std::string options = "-mx=5 -ms=on -mf=on -mhc=on -mhcf=on -mhe=off -m0=LZMA ";
    std::string expected = "a -t7z " + options + "\"" + m_output + "\" \"" + upper + "\\\" -ir-\"@" + run.listFiles[0] +
                           "\" \"" + lower + "\\\" -ir-\"@" + run.listFiles[1] + "\" \"" + folder + "\\\" -ir-\"@" +
                           run.listFiles[2] + "\" ";
    EXPECT_EQ(expected, run.call.line);
    ASSERT_EQ(3u, run.call.lists.size());
    EXPECT_EQ("\"two.txt\"\r\n", run.call.lists[0].bytes);
    EXPECT_EQ("\"one.txt\"\r\n\"sub\\three.txt\"\r\n", run.call.lists[1].bytes);
    EXPECT_EQ("\"ソ\\four.txt\"\r\n", run.call.lists[2].bytes);
    for (const std::string& list : run.listFiles)
        EXPECT_FALSE(FileExists(list)) << list;
}

TEST_F(SevenZipCommand, RunReturnsTheDllResultAndItsTextAndReleasesTheDll)
{
    m_standIns.Script("7-Zip32.dll", "result=2\noutput=Error:\\r\\nCan not open file\n");
    CCompressJob job = MakeJob(0, m_output);
    CRun run = RunBuilder(m_standIns, 0, &job, {{m_file, m_base}});
    EXPECT_EQ(2, run.result);
    EXPECT_EQ("Error:\r\nCan not open file", run.output);
    EXPECT_EQ(nullptr, GetModuleHandleA("7-Zip32.dll"));
}

TEST_F(SevenZipCommand, SfxBuilderKeepsTheDllLoadedOnlyAfterSuccess)
{
    m_output = m_data / "out.exe";
    CCompressJob job = MakeJob(1, m_output);
    m_standIns.Script("7-Zip32.dll", "result=1\n");
    EXPECT_EQ(1, RunBuilder(m_standIns, 1, &job, {{m_file, m_base}}).result);
    EXPECT_EQ(nullptr, GetModuleHandleA("7-Zip32.dll"));

    m_standIns.Script("7-Zip32.dll", "result=0\n");
    EXPECT_EQ(0, RunBuilder(m_standIns, 1, &job, {{m_file, m_base}}).result);
    EXPECT_NE(nullptr, GetModuleHandleA("7-Zip32.dll"));
    DestroyAllFormats();
    EXPECT_EQ(nullptr, GetModuleHandleA("7-Zip32.dll"));
}

TEST_F(SevenZipCommand, DllRemovedAfterStartGivesMinusOne)
{
    ASSERT_TRUE(DeleteFileA((m_standIns.Folder() + "\\7-Zip32.dll").c_str()));
    CArc* arc = FindFormat(0);
    CCompressJob job = MakeJob(0, m_output);
    arc->BeginList(&job);
    arc->AddFile(m_file.c_str(), m_base.c_str());
    arc->EndList();
    char output[4096] = "";
    EXPECT_EQ(-1, arc->Run(NULL, output, sizeof(output)));
    EXPECT_STREQ("", output);
    arc->Cleanup();
}
