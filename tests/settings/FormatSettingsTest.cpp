#include "archivers/CabSettings.h"
#include "archivers/LhaSettings.h"
#include "archivers/SevenZipSettings.h"
#include "archivers/ZipSettings.h"
#include "settings/IniFile.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

std::string PlaceIni(const CTestFolder& folder, const std::string& bytes)
{
    std::string path = folder.WriteFile("tessik.ini", bytes);
    CIniFile::FlushProfileCache(path.c_str());
    return path;
}

}  // namespace

TEST(FormatSettings, EveryFieldRoundTripsThroughItsSection)
{
    ResetAllSettings();
    CSevenZipSettings& z = g_sevenZipSettings;
    z.Use = false, z.SevenZipMode = 9, z.SevenZipAlgorithm = "BZip2", z.SevenZipFastBytes = 255;
    z.SevenZipPasses = 4, z.SevenZMode = 0, z.SevenZSolid = false, z.SevenZFilter = false;
    z.SevenZHeaderComp = false, z.SevenZHeaderCompFull = false, z.SevenZHeaderCrypt = true;
    z.SevenZAlgorithm = "PPMd", z.SevenZSfx = "builtin", z.SevenZCompCommandUse = true;
    z.SevenZCompCommand = "-mx=9 -mhe=on";
    g_cabSettings = {false, 2, 21, true, 4194304};
    g_lhaSettings = {false, 2, 3, true};
    g_zipSettings = {false, 0, true, true};
    const CSevenZipSettings sevenZip = z;
    const CCabSettings cab = g_cabSettings;

    CTestFolder folder;
    std::string path = folder / "tessik.ini";
    EXPECT_EQ(1, WriteSevenZipSettings(path.c_str()));
    EXPECT_EQ(1, WriteCabSettings(path.c_str()));
    EXPECT_EQ(1, WriteLhaSettings(path.c_str()));
    EXPECT_EQ(1, WriteZipSettings(path.c_str()));
    ResetAllSettings();

    EXPECT_EQ(0, ReadSevenZipSettings(100, path.c_str()));
    ReadCabSettings(100, path.c_str());
    ReadLhaSettings(100, path.c_str());
    ReadZipSettings(100, path.c_str());
    EXPECT_EQ(sevenZip.Use, z.Use);
    EXPECT_EQ(sevenZip.SevenZipMode, z.SevenZipMode);
    EXPECT_EQ(sevenZip.SevenZipAlgorithm, z.SevenZipAlgorithm);
    EXPECT_EQ(sevenZip.SevenZipFastBytes, z.SevenZipFastBytes);
    EXPECT_EQ(sevenZip.SevenZipPasses, z.SevenZipPasses);
    EXPECT_EQ(sevenZip.SevenZMode, z.SevenZMode);
    EXPECT_EQ(sevenZip.SevenZSolid, z.SevenZSolid);
    EXPECT_EQ(sevenZip.SevenZFilter, z.SevenZFilter);
    EXPECT_EQ(sevenZip.SevenZHeaderComp, z.SevenZHeaderComp);
    EXPECT_EQ(sevenZip.SevenZHeaderCompFull, z.SevenZHeaderCompFull);
    EXPECT_EQ(sevenZip.SevenZHeaderCrypt, z.SevenZHeaderCrypt);
    EXPECT_EQ(sevenZip.SevenZAlgorithm, z.SevenZAlgorithm);
    EXPECT_EQ(sevenZip.SevenZSfx, z.SevenZSfx);
    EXPECT_EQ(sevenZip.SevenZCompCommandUse, z.SevenZCompCommandUse);
    EXPECT_EQ(sevenZip.SevenZCompCommand, z.SevenZCompCommand);
    EXPECT_EQ(cab.Use, g_cabSettings.Use);
    EXPECT_EQ(cab.CabMode, g_cabSettings.CabMode);
    EXPECT_EQ(cab.LzxLevel, g_cabSettings.LzxLevel);
    EXPECT_EQ(cab.MultiVolume, g_cabSettings.MultiVolume);
    EXPECT_EQ(cab.MultiVolumeSize, g_cabSettings.MultiVolumeSize);
    EXPECT_FALSE(g_lhaSettings.Use);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    EXPECT_EQ(3, g_lhaSettings.SfxMode);
    EXPECT_TRUE(g_lhaSettings.SfxSetup);
    EXPECT_FALSE(g_zipSettings.Use);
    EXPECT_EQ(0, g_zipSettings.ZipMode);
    EXPECT_TRUE(g_zipSettings.Crlf2Lf);
    EXPECT_TRUE(g_zipSettings.Lf2Crlf);
}

TEST(FormatSettings, EmptyKeysKeepFieldsAndOnlyTrueInAnyCaseIsOn)
{
    ResetAllSettings();
    CTestFolder folder;
    std::string path = PlaceIni(folder, CrLfLines({
        "[7-ZIP]", "SevenZSolid=1", "SevenZFilter=TRUE", "SevenZHeaderCrypt=tRuE", "SevenZHeaderComp=yes",
        "SevenZAlgorithm=", "SevenZMode=0", "SevenZipFastBytes=-1",
        "[CAB]", "CabMode=7", "Use=",
        "[LHA]", "SfxSetup=true", "LhaMode=2x",
        "[ZIP]", "Use=false", "ZipMode=abc",
    }));
    ReadSevenZipSettings(100, path.c_str());
    ReadCabSettings(100, path.c_str());
    ReadLhaSettings(100, path.c_str());
    ReadZipSettings(100, path.c_str());

    EXPECT_FALSE(g_sevenZipSettings.SevenZSolid);
    EXPECT_TRUE(g_sevenZipSettings.SevenZFilter);
    EXPECT_TRUE(g_sevenZipSettings.SevenZHeaderCrypt);
    EXPECT_FALSE(g_sevenZipSettings.SevenZHeaderComp);
    EXPECT_TRUE(g_sevenZipSettings.SevenZHeaderCompFull);
    EXPECT_EQ("LZMA", g_sevenZipSettings.SevenZAlgorithm);
    EXPECT_EQ(0, g_sevenZipSettings.SevenZMode);
    EXPECT_EQ(4294967295u, g_sevenZipSettings.SevenZipFastBytes);
    EXPECT_EQ(7, g_cabSettings.CabMode);
    EXPECT_TRUE(g_cabSettings.Use);
    EXPECT_TRUE(g_lhaSettings.SfxSetup);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    EXPECT_FALSE(g_zipSettings.Use);
    EXPECT_EQ(0, g_zipSettings.ZipMode);
}

TEST(FormatSettings, OldLayoutsGiveOnlyLhaAndZipTheirOldKeys)
{
    ResetAllSettings();
    CTestFolder folder;
    // A current section of every format, which the old layouts must not read.
    std::string current = CrLfLines({"[7-ZIP]", "SevenZMode=9", "[CAB]", "CabMode=2", "[ZIP]", "ZipMode=1"});
    std::string path = PlaceIni(folder, current);
    for (int version : {1, 2, 0, 99})
    {
        ReadSevenZipSettings(version, path.c_str());
        ReadCabSettings(version, path.c_str());
    }
    ReadZipSettings(1, path.c_str());
    EXPECT_EQ(5, g_sevenZipSettings.SevenZMode);
    EXPECT_EQ(1, g_cabSettings.CabMode);
    EXPECT_EQ(6, g_zipSettings.ZipMode);

    // The second layout's sections, missing keys taking the old defaults.
    g_lhaSettings = {true, 1, 0, true};
    g_zipSettings = {true, 3, true, true};
    path = PlaceIni(folder, CrLfLines({"[tessik v0.02]", "[lha]", "Mode=2", "[zip]", "Crlf2Lf=1"}));
    ReadLhaSettings(2, path.c_str());
    ReadZipSettings(2, path.c_str());
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    EXPECT_EQ(2, g_lhaSettings.SfxMode);
    EXPECT_FALSE(g_lhaSettings.SfxSetup);
    EXPECT_EQ(6, g_zipSettings.ZipMode);
    EXPECT_TRUE(g_zipSettings.Crlf2Lf);
    EXPECT_FALSE(g_zipSettings.Lf2Crlf);

    path = PlaceIni(folder, CrLfLines({"[lha]", "Mode=1", "SfxMode=3", "Win32MSfxSetup=1"}));
    ReadLhaSettings(2, path.c_str());
    EXPECT_EQ(1, g_lhaSettings.LhaMode);
    EXPECT_EQ(3, g_lhaSettings.SfxMode);
    EXPECT_TRUE(g_lhaSettings.SfxSetup);
}

struct CLhaScanCase
{
    const char* text;  // lines joined by \n
    int lhaMode;
    int sfxMode;
    bool sfxSetup;
};

TEST(FormatSettings, LhaTakesMethodAndSelfExtractingFlagsFromFirstLayout)
{
    // Start: method 1, kind 2, setup off.
    const CLhaScanCase cases[] = {
        {"[tessik v0.01]\nLhaArcMethod      = 100", 0, 2, false},
        {"[tessik v0.01]\nLhaArcMethod      = 400", 2, 2, false},
        {"[tessik v0.01]\nLhaArcMethod      = 300", 1, 2, false},
        {"[tessik v0.01]\nLhaArcMethod = 100", 1, 2, false},
        {"[tessik v0.01]\nArcSFX            = 22", 1, 0, false},
        {"[tessik v0.01]\nArcSFX            = 60", 1, 3, true},
        {"[tessik v0.01]\nArcSFX            = 80", 1, 2, false},
        {"[tessik v0.01]\nOther=1\n\nLhaArcMethod      = 400\n[ext]\nArcSFX            = 2", 2, 2, false},
        {"LhaArcMethod      = 400\nArcSFX            = 2", 1, 2, false},
    };
    for (const CLhaScanCase& c : cases)
    {
        SCOPED_TRACE(c.text);
        g_lhaSettings = {true, 1, 2, false};
        std::string text = c.text;
        std::string crlf;
        for (char ch : text)
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        CTestFolder folder;
        std::string path = PlaceIni(folder, crlf + "\r\n");
        EXPECT_EQ(1, ReadLhaSettings(1, path.c_str()));
        EXPECT_EQ(c.lhaMode, g_lhaSettings.LhaMode);
        EXPECT_EQ(c.sfxMode, g_lhaSettings.SfxMode);
        EXPECT_EQ(c.sfxSetup, g_lhaSettings.SfxSetup);
    }
    EXPECT_EQ(0, ReadLhaSettings(1, "C:\\no\\such\\folder\\tessik.ini"));
}
