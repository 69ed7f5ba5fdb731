// The registry holds exactly the formats whose DLLs bind; everything the
// compress dialog, the settings file and the job look up comes from it.
#include "archivers/formats/Arc7ZipSfx.h"
#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/Tessik7zSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "archivers/formatsettings/ZipSettings.h"
#include "tests/archivers/StandInFormats.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(FormatRegistry, HoldsExactlyTheIdsWhoseDllsBind)
{
    struct
    {
        const char* what;
        std::vector<std::string> files;
        const char* variant;
        const char* sevenZipScript;
        std::vector<int> ids;
    } cases[] = {
        {"everything", kAllStandIns, "default", "", {0, 1, 2, 4, 5, 6, 7, 8, 9}},
        {"everything and the own DLLs", kAllStandInsAndOwnDlls, "default", "", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"only TessikZip", {"TessikZip.dll"}, "default", "", {3}},
        {"only Tessik7z", {"Tessik7z.dll"}, "default", "", {10}},
        {"only Unlha32", {"Unlha32.dll"}, "default", "", {6, 7}},
        {"only Cab32", {"Cab32.dll"}, "default", "", {4, 5}},
        {"Zip32j with zip32", {"Zip32j.dll", "zip32.dll"}, "default", "", {8, 9}},
        {"Zip32j without zip32", {"Zip32j.dll"}, "default", "", {}},
        {"7-Zip32.dll version 312 and no module", {"7-Zip32.dll"}, "default", "version=312\n", {0, 2}},
        {"7-Zip32.dll version 313 and no module", {"7-Zip32.dll"}, "default", "version=313\n", {0, 1, 2}},
        {"7-Zip32.dll version 312 and 7zCon.sfx", {"7-Zip32.dll", "7zCon.sfx"}, "default", "version=312\n",
         {0, 1, 2}},
        {"7-Zip32.dll without version entry", kSevenZipStandIns, "no-SevenZipGetVersion", "", {}},
        {"nothing", {}, "default", "", {}},
    };
    for (const auto& c : cases)
    {
        CStandInFormats standIns(c.files, c.variant);
        standIns.Script("7-Zip32.dll", c.sevenZipScript);
        EXPECT_EQ(static_cast<int>(c.ids.size()), standIns.Register()) << c.what;
        EXPECT_EQ(c.ids, standIns.RegisteredIds()) << c.what;
    }
}

TEST(FormatRegistry, SfxModuleDiscoveryRecordsEachModule)
{
    {
        CStandInFormats standIns({"7-Zip32.dll", "7zC.sfx"});
        standIns.Script("7-Zip32.dll", "version=312\n");
        standIns.Register();
        EXPECT_EQ(1, GetSfxModuleCount());
        EXPECT_EQ(0, IsSfxModuleAvailable("7z.sfx"));
        EXPECT_EQ(1, IsSfxModuleAvailable("7zC.sfx"));
        EXPECT_EQ(0, IsSfxModuleAvailable("7zCon.sfx"));
        EXPECT_EQ(0, IsSfxModuleAvailable("builtin"));
        EXPECT_EQ(0, IsSfxModuleAvailable("other.sfx"));
    }
    {
        CStandInFormats standIns(kSevenZipStandIns);
        standIns.Script("7-Zip32.dll", "version=431\n");
        standIns.Register();
        EXPECT_EQ(4, GetSfxModuleCount());
        EXPECT_EQ(1, IsSfxModuleAvailable("builtin"));
        // Discovery leaves nothing loaded.
        EXPECT_EQ(nullptr, GetModuleHandleA("7zC.sfx"));
        EXPECT_EQ(nullptr, GetModuleHandleA("7-Zip32.dll"));
    }
}

TEST(FormatRegistry, InitKeepsVersionsAndZipPasswordSupportComesFromTheDll)
{
    CStandInFormats standIns(kAllStandInsAndOwnDlls);
    standIns.Script("7-Zip32.dll", "version=431\n");
    standIns.Script("Cab32.dll", "version=98\n");
    standIns.Script("Unlha32.dll", "version=202\n");
    standIns.Script("Zip32j.dll", "version=37\nencryption=0\n");
    standIns.Script("TessikZip.dll", "version=105\n");
    standIns.Script("Tessik7z.dll", "version=101\n");
    standIns.Register();
    EXPECT_EQ(431, g_sevenZipSettings.Version);
    EXPECT_EQ(105, g_tessikZipSettings.Version);
    EXPECT_EQ(101, g_tessik7zSettings.Version);
    EXPECT_EQ(98, g_cabSettings.Version);
    EXPECT_EQ(202, g_lhaSettings.Version);
    EXPECT_EQ(37, g_zipSettings.Version);
    EXPECT_EQ(0, FindFormat(8)->SupportsPassword());
    EXPECT_EQ(0, FindFormat(9)->SupportsPassword());
    const struct
    {
        int id;
        const char* name;
        const char* extension;
        const char* displayName;
    } owns[] = {
        {3, "TZIP", ".zip", "Tessik　-　ZIP書庫(*.zip)"},
        {10, "T7Z", ".7z", "Tessik　-　7Z書庫(*.7z)"},
    };
    for (const auto& expected : owns)
    {
        const CArc* own = FindFormat(expected.id);
        ASSERT_NE(nullptr, own) << expected.name;
        EXPECT_STREQ(expected.name, own->GetName());
        EXPECT_STREQ(expected.extension, own->GetExtension());
        EXPECT_STREQ(expected.displayName, own->GetDisplayName());
        EXPECT_EQ(0, own->IsSelfExtracting()) << expected.name;
        EXPECT_EQ(1, own->SupportsPassword()) << expected.name;
        EXPECT_EQ(1, own->SupportsAppend()) << expected.name;
        EXPECT_EQ(1, own->SupportsUnicodeNames()) << expected.name;
        EXPECT_FALSE(own->PasswordBytesFollowUnicodeMode()) << expected.name;
    }
    // Probing released every DLL again.
    for (const char* dll :
         {"7-Zip32.dll", "Zip32j.dll", "zip32.dll", "Cab32.dll", "Unlha32.dll", "TessikZip.dll", "Tessik7z.dll"})
        EXPECT_EQ(nullptr, GetModuleHandleA(dll)) << dll;
}

TEST(FormatRegistry, FindFormatIdByNameIsExactAndLimitedToRegisteredFormats)
{
    CStandInFormats standIns({"7-Zip32.dll", "Unlha32.dll"});
    standIns.Script("7-Zip32.dll", "version=312\n");
    standIns.Register();
    struct
    {
        const char* name;
        int id;
    } cases[] = {
        {"7Z", 0}, {"7z", -1}, {"7ZIP", 2}, {"LHA", 6}, {"LHASFX", 7}, {"TZIP", -1}, {"T7Z", -1},
        {"7ZSFX", -1},  // no module: not registered
        {"CAB", -1},    {"LHA ", -1}, {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.id, FindFormatIdByName(c.name)) << c.name;
}

TEST(FormatRegistry, FirstUsedFormatSkipsSwitchedOffDlls)
{
    CStandInFormats standIns(kAllStandIns);
    standIns.Register();
    EXPECT_EQ(0, FindFirstUsedFormatId());
    g_sevenZipSettings.Use = false;
    EXPECT_EQ(4, FindFirstUsedFormatId());
    g_cabSettings.Use = false;
    g_lhaSettings.Use = false;
    g_zipSettings.Use = false;
    EXPECT_EQ(-1, FindFirstUsedFormatId());
    // Switched off, but still registered.
    EXPECT_EQ(9u, GetFormatRegistry().size());
    g_sevenZipSettings.Use = true;
    g_cabSettings.Use = true;
    g_lhaSettings.Use = true;
    g_zipSettings.Use = true;
}

// TZIP and T7Z are the first used format only where no other archiver DLL is
// in use, although TZIP's id comes before CAB's; TZIP before T7Z.
TEST(FormatRegistry, FirstUsedFormatIsAnOwnFormatOnlyWhenNothingElseIsInUse)
{
    struct
    {
        const char* what;
        std::vector<std::string> files;
        bool othersUsed;
        bool ownUsed;
        int id;
        bool own7zUsed = true;
    } cases[] = {
        {"only TessikZip", {"TessikZip.dll"}, true, true, 3},
        {"only TessikZip, switched off", {"TessikZip.dll"}, true, false, -1},
        {"TessikZip and Cab32", {"TessikZip.dll", "Cab32.dll"}, true, true, 4},
        {"everything, all but TessikZip switched off", kAllStandInsAndOwnDlls, false, true, 3, false},
        {"only Tessik7z", {"Tessik7z.dll"}, true, true, 10},
        {"only Tessik7z, switched off", {"Tessik7z.dll"}, true, true, -1, false},
        {"Tessik7z and Cab32", {"Tessik7z.dll", "Cab32.dll"}, true, true, 4},
        {"both own DLLs: the ZIP", {"TessikZip.dll", "Tessik7z.dll"}, true, true, 3},
        {"both own DLLs, TessikZip switched off", {"TessikZip.dll", "Tessik7z.dll"}, true, false, 10},
        {"everything, all but the own DLLs switched off", kAllStandInsAndOwnDlls, false, true, 3},
    };
    for (const auto& c : cases)
    {
        CStandInFormats standIns(c.files);
        standIns.Register();
        g_sevenZipSettings.Use = g_cabSettings.Use = g_lhaSettings.Use = g_zipSettings.Use = c.othersUsed;
        g_tessikZipSettings.Use = c.ownUsed;
        g_tessik7zSettings.Use = c.own7zUsed;
        EXPECT_EQ(c.id, FindFirstUsedFormatId()) << c.what;
    }
    g_sevenZipSettings.Use = g_cabSettings.Use = g_lhaSettings.Use = g_zipSettings.Use = true;
    g_tessikZipSettings.Use = g_tessik7zSettings.Use = true;
}
