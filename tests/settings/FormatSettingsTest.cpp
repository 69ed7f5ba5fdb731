#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/Tessik7zSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "settings/IniFile.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

TEST(FormatSettings, EmptyKeysKeepFieldsAndOnlyTrueInAnyCaseIsOn)
{
    ResetAllSettings();
    CTestFolder folder;
    std::string path = PlaceIni(folder.Path(), {"[7-ZIP]", "SevenZSolid=1", "SevenZFilter=yes", "SevenZHeaderCrypt=tRuE",
                                                "SevenZAlgorithm=", "SevenZMode=0", "SevenZipFastBytes=-1"});
    ReadSevenZipSettings(100, path.c_str());
    EXPECT_FALSE(g_sevenZipSettings.SevenZSolid);
    EXPECT_FALSE(g_sevenZipSettings.SevenZFilter);
    EXPECT_TRUE(g_sevenZipSettings.SevenZHeaderCrypt);
    EXPECT_EQ("LZMA", g_sevenZipSettings.SevenZAlgorithm);
    EXPECT_EQ(0, g_sevenZipSettings.SevenZMode);
    EXPECT_EQ(4294967295u, g_sevenZipSettings.SevenZipFastBytes);
}

TEST(FormatSettings, LhaTakesMethodAndSelfExtractingFlagsFromFirstLayout)
{
    // Each file starts from method 1, kind 2, setup off.
    const struct
    {
        std::vector<std::string> lines;
        int lhaMode, sfxMode;
        bool sfxSetup;
    } cases[] = {
        {{"[tessik v0.01]", "LhaArcMethod      = 100"}, 0, 2, false},
        {{"[tessik v0.01]", "LhaArcMethod      = 400"}, 2, 2, false},
        {{"[tessik v0.01]", "LhaArcMethod      = 300"}, 1, 2, false},
        {{"[tessik v0.01]", "LhaArcMethod = 100"}, 1, 2, false},
        {{"[tessik v0.01]", "ArcSFX            = 22"}, 1, 0, false},
        {{"[tessik v0.01]", "ArcSFX            = 60"}, 1, 3, true},
        {{"[tessik v0.01]", "ArcSFX            = 80"}, 1, 2, false},
        {{"[tessik v0.01]", "", "LhaArcMethod      = 400", "[ext]", "ArcSFX            = 2"}, 2, 2, false},
        {{"LhaArcMethod      = 400", "ArcSFX            = 2"}, 1, 2, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.lines.back());
        g_lhaSettings = {true, 1, 2, false};
        CTestFolder folder;
        EXPECT_EQ(1, ReadLhaSettings(1, PlaceIni(folder.Path(), c.lines).c_str()));
        EXPECT_EQ(c.lhaMode, g_lhaSettings.LhaMode);
        EXPECT_EQ(c.sfxMode, g_lhaSettings.SfxMode);
        EXPECT_EQ(c.sfxSetup, g_lhaSettings.SfxSetup);
    }
    EXPECT_EQ(0, ReadLhaSettings(1, "C:\\no\\such\\folder\\tessik.ini"));
}

// What a section reads as, seen in what the settings then write.
TEST(FormatSettings, TessikZipTakesKnownNamesInAnyCaseAndValuesInRangeOnly)
{
    const std::vector<std::string> defaults = {"Level=6", "Method=Deflate", "Encryption=AES", "Names=UTF-8",
                                               "Threads=0", "Use=true"};
    const struct
    {
        std::vector<std::string> lines;
        std::vector<std::string> read;
    } cases[] = {
        {{"[TZIP]", "Level=0", "Method=store", "Encryption=zipcrypto", "Names=shift_jis", "Threads=1024", "Use=false"},
         {"Level=0", "Method=Store", "Encryption=ZipCrypto", "Names=Shift_JIS", "Threads=1024", "Use=false"}},
        {{"[TZIP]", "Level=10", "Method=LZMA", "Encryption=DES", "Names=EUC-JP", "Threads=1025"}, defaults},
        {{"[TZIP]", "Level=-1", "Threads=-1"}, defaults},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.lines[1]);
        ResetAllSettings();
        CTestFolder folder;
        EXPECT_EQ(1, ReadTessikZipSettings(100, PlaceIni(folder.Path(), c.lines).c_str()));
        CIniFile written;
        written.Open((folder / "written.ini").c_str(), false, false);
        EXPECT_EQ(1, WriteTessikZipSettings(written));
        written.Close();
        EXPECT_EQ(c.read, SectionLines(folder / "written.ini", "TZIP"));
    }
    ResetAllSettings();
}

// What the T7Z section reads as, seen in what the settings then write; the
// first layouts had no such section.
TEST(FormatSettings, Tessik7zTakesValuesInRangeOnly)
{
    const std::vector<std::string> defaults = {"Level=5",   "Solid=1",         "SolidBlock=0", "SolidFiles=0",
                                               "Threads=0", "EncryptHeader=0", "Use=true"};
    const struct
    {
        int layout;
        std::vector<std::string> lines;
        std::vector<std::string> read;
    } cases[] = {
        {100, {"[T7Z]"}, defaults},
        {100,
         {"[T7Z]", "Level=0", "Solid=0", "SolidBlock=1048576", "SolidFiles=2000000000", "Threads=1024",
          "EncryptHeader=1", "Use=false"},
         {"Level=0", "Solid=0", "SolidBlock=1048576", "SolidFiles=2000000000", "Threads=1024", "EncryptHeader=1",
          "Use=false"}},
        {100, {"[T7Z]", "Level=9", "SolidBlock=1", "SolidFiles=1", "Threads=1"},
         {"Level=9", "Solid=1", "SolidBlock=1", "SolidFiles=1", "Threads=1", "EncryptHeader=0", "Use=true"}},
        {100,
         {"[T7Z]", "Level=10", "Solid=2", "SolidBlock=1048577", "SolidFiles=2000000001", "Threads=1025",
          "EncryptHeader=2"},
         defaults},
        {100,
         {"[T7Z]", "Level=-1", "Solid=-1", "SolidBlock=-1", "SolidFiles=-1", "Threads=-1", "EncryptHeader=-1"},
         defaults},
        {100, {"[T7Z]", "Solid=false", "EncryptHeader=true"}, defaults},
        {1, {"[T7Z]", "Level=9", "Solid=0"}, defaults},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.lines.size() > 1 ? c.lines[1] : c.lines[0]);
        ResetAllSettings();
        CTestFolder folder;
        EXPECT_EQ(c.layout == 100 ? 1 : 0, ReadTessik7zSettings(c.layout, PlaceIni(folder.Path(), c.lines).c_str()));
        CIniFile written;
        written.Open((folder / "written.ini").c_str(), false, false);
        EXPECT_EQ(1, WriteTessik7zSettings(written));
        written.Close();
        EXPECT_EQ(c.read, SectionLines(folder / "written.ini", "T7Z"));
    }
    ResetAllSettings();
}
