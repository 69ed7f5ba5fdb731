#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
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

TEST(FormatSettings, TessikZipTakesKnownNamesAndValuesInRangeOnly)
{
    const struct
    {
        const char* what;
        std::vector<std::string> lines;
        int level;
        ETessikZipMethod method;
        ETessikZipEncryption encryption;
        ETessikZipNames names;
        int threads;
        bool use;
    } cases[] = {
        {"no section", {"[ZIP]", "ZipMode=9"}, 6, ETessikZipMethod::Deflate, ETessikZipEncryption::Aes,
         ETessikZipNames::Utf8, 0, true},
        {"every key",
         {"[TZIP]", "Level=0", "Method=Store", "Encryption=ZipCrypto", "Names=Shift_JIS", "Threads=8", "Use=false"}, 0,
         ETessikZipMethod::Store, ETessikZipEncryption::ZipCrypto, ETessikZipNames::ShiftJis, 8, false},
        {"names in any case", {"[TZIP]", "Method=store", "Encryption=zipcrypto", "Names=shift_jis"}, 6,
         ETessikZipMethod::Store, ETessikZipEncryption::ZipCrypto, ETessikZipNames::ShiftJis, 0, true},
        {"out of range and unknown",
         {"[TZIP]", "Level=10", "Method=LZMA", "Encryption=DES", "Names=EUC-JP", "Threads=-1"}, 6,
         ETessikZipMethod::Deflate, ETessikZipEncryption::Aes, ETessikZipNames::Utf8, 0, true},
        {"the limits", {"[TZIP]", "Level=9", "Threads=1024"}, 9, ETessikZipMethod::Deflate,
         ETessikZipEncryption::Aes, ETessikZipNames::Utf8, 1024, true},
        {"beyond the thread limit", {"[TZIP]", "Threads=1025"}, 6, ETessikZipMethod::Deflate,
         ETessikZipEncryption::Aes, ETessikZipNames::Utf8, 0, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        ResetAllSettings();
        CTestFolder folder;
        EXPECT_EQ(1, ReadTessikZipSettings(100, PlaceIni(folder.Path(), c.lines).c_str()));
        const CTessikZipSettings& s = g_tessikZipSettings;
        EXPECT_EQ(c.level, s.Level);
        EXPECT_EQ(c.method, s.Method);
        EXPECT_EQ(c.encryption, s.Encryption);
        EXPECT_EQ(c.names, s.Names);
        EXPECT_EQ(c.threads, s.Threads);
        EXPECT_EQ(c.use, s.Use);
    }
    // The old layouts had no such section: nothing is read.
    ResetAllSettings();
    CTestFolder folder;
    EXPECT_EQ(0, ReadTessikZipSettings(1, PlaceIni(folder.Path(), {"[TZIP]", "Level=1"}).c_str()));
    EXPECT_EQ(6, g_tessikZipSettings.Level);
    ResetAllSettings();
}
