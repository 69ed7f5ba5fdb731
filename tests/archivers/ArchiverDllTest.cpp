// The bindings decide which formats exist: a DLL lacking one required entry,
// or Zip32j.dll without zip32.dll, must count as not installed, and nothing
// may stay loaded after a failed probe.
#include "archivers/dlls/Cab32Dll.h"
#include "archivers/dlls/SevenZipDll.h"
#include "archivers/dlls/Unlha32Dll.h"
#include "archivers/dlls/Zip32jDll.h"
#include "tests/archivers/StandInFormats.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

bool IsModuleLoaded(const char* name)
{
    return GetModuleHandleA(name) != NULL;
}

}  // namespace

TEST(ArchiverDll, LoadTwiceKeepsOneReferenceAndUnloadReleasesIt)
{
    CStandInFormats standIns({"7-Zip32.dll"});
    CSevenZipDll dll;
    EXPECT_EQ(1, dll.Load());
    EXPECT_EQ(1, dll.Load());
    EXPECT_TRUE(dll.IsLoaded());
    EXPECT_NE(0, dll.Unload());
    // One FreeLibrary was enough: the second Load took no extra reference.
    EXPECT_FALSE(IsModuleLoaded("7-Zip32.dll"));
    EXPECT_EQ(0, dll.Unload());
}

TEST(ArchiverDll, RequiredEntriesDecideWhetherTheDllIsInstalled)
{
    typedef std::function<std::unique_ptr<CArchiverDll>()> Factory;
    Factory sevenZip = [] { return std::unique_ptr<CArchiverDll>(new CSevenZipDll); };
    Factory zip32j = [] { return std::unique_ptr<CArchiverDll>(new CZip32jDll); };
    Factory cab32 = [] { return std::unique_ptr<CArchiverDll>(new CCab32Dll); };
    Factory unlha32 = [] { return std::unique_ptr<CArchiverDll>(new CUnlha32Dll); };
    struct
    {
        const char* what;
        Factory factory;
        const char* variant;
        std::vector<std::string> variantFiles;
        std::vector<std::string> defaultFiles;
        const char* module;
        int loads;
    } cases[] = {
        {"7-Zip32", sevenZip, "default", {"7-Zip32.dll"}, {}, "7-Zip32.dll", 1},
        {"7-Zip32 without version entry", sevenZip, "no-SevenZipGetVersion", {"7-Zip32.dll"}, {}, "7-Zip32.dll", 0},
        {"7-Zip32 missing", sevenZip, "default", {}, {}, "7-Zip32.dll", 0},
        {"Zip32j with zip32", zip32j, "default", {"Zip32j.dll", "zip32.dll"}, {}, "Zip32j.dll", 1},
        {"Zip32j without zip32", zip32j, "default", {"Zip32j.dll"}, {}, "Zip32j.dll", 0},
        {"Zip32j without encryption entry", zip32j, "no-ZipQueryEncryption", {"Zip32j.dll"}, {"zip32.dll"},
         "Zip32j.dll", 0},
        {"Cab32", cab32, "default", {"Cab32.dll"}, {}, "Cab32.dll", 1},
        {"Cab32 without check entry", cab32, "no-CabCheckArchive", {"Cab32.dll"}, {}, "Cab32.dll", 0},
        {"Unlha32", unlha32, "default", {"Unlha32.dll"}, {}, "Unlha32.dll", 1},
        {"Unlha32 without SFX entry", unlha32, "no-UnlhaIsSFXFile", {"Unlha32.dll"}, {}, "Unlha32.dll", 0},
    };
    for (const auto& c : cases)
    {
        CStandInFormats standIns(c.variantFiles, c.variant);
        InstallStandIns(standIns.Folder(), c.defaultFiles);
        std::unique_ptr<CArchiverDll> dll = c.factory();
        EXPECT_EQ(c.loads, dll->Load()) << c.what;
        EXPECT_EQ(c.loads != 0, IsModuleLoaded(c.module)) << c.what;
        EXPECT_FALSE(IsModuleLoaded("zip32.dll")) << c.what;
        dll->Unload();
        EXPECT_FALSE(IsModuleLoaded(c.module)) << c.what;
    }
}

TEST(ArchiverDll, CommandPassesEverythingAndReturnsTheDllResultWithoutUnloading)
{
    CStandInFormats standIns({"Unlha32.dll"});
    standIns.Script("Unlha32.dll", "result=32800\noutput=ERROR: no file\\r\\n\n");
    CUnlha32Dll dll;
    char output[4096] = "";
    HWND window = GetDesktopWindow();
    EXPECT_EQ(32800, dll.Command(window, "a -jm2 \"C:\\x.lzh\"", output, sizeof(output)));
    EXPECT_STREQ("ERROR: no file\r\n", output);
    EXPECT_TRUE(dll.IsLoaded());

    std::vector<CStandInCall> calls = standIns.Calls("Unlha32.dll", "Unlha");
    ASSERT_EQ(1u, calls.size());
    EXPECT_TRUE(calls[0].hasWindow);
    EXPECT_EQ("a -jm2 \"C:\\x.lzh\"", calls[0].line);
}

TEST(ArchiverDll, MissingDllGivesMinusOneForCommandAndZeroForVersion)
{
    CStandInFormats standIns({});
    CCab32Dll dll;
    char output[16] = "unchanged";
    EXPECT_EQ(-1, dll.Command(NULL, "-a", output, sizeof(output)));
    EXPECT_STREQ("unchanged", output);
    EXPECT_EQ(0, dll.GetVersion());
    EXPECT_EQ(0, dll.CheckArchive("C:\\x.cab", 0));
}

TEST(ArchiverDll, QueryEncryptionUnloadsAndVersionLoadsAgain)
{
    CStandInFormats standIns({"Zip32j.dll", "zip32.dll"});
    standIns.Script("Zip32j.dll", "encryption=0\nversion=37\n");
    CZip32jDll dll;
    ASSERT_EQ(1, dll.Load());
    EXPECT_EQ(0, dll.QueryEncryption());
    EXPECT_FALSE(dll.IsLoaded());
    EXPECT_EQ(37, dll.GetVersion());
    EXPECT_TRUE(dll.IsLoaded());
    dll.Unload();

    standIns.Script("Zip32j.dll", "encryption=1\n");
    EXPECT_EQ(1, dll.QueryEncryption());
    EXPECT_FALSE(dll.IsLoaded());
}

TEST(DllProbe, HoldsWhatItFoundAndDoesNotSearchAgainForWhatItMissedUntilItEnds)
{
    CStandInFormats standIns({"7-Zip32.dll"});
    CCab32Dll cab;
    {
        const char* const names[] = {"7-Zip32.dll", "Cab32.dll"};
        CDllProbe probe(names, 2);
        EXPECT_TRUE(IsModuleLoaded("7-Zip32.dll"));
        CSevenZipDll sevenZip;
        EXPECT_EQ(1, sevenZip.Load());
        sevenZip.Unload();
        EXPECT_TRUE(IsModuleLoaded("7-Zip32.dll"));

        // Installed after the probe looked: not seen while the probe lasts.
        InstallStandIns(standIns.Folder(), {"Cab32.dll"});
        EXPECT_EQ(0, cab.Load());
    }
    EXPECT_FALSE(IsModuleLoaded("7-Zip32.dll"));
    EXPECT_EQ(1, cab.Load());
    cab.Unload();
}
