// Start-up: which archivers the program finds, what it says when there are
// none, and the default format it settles on.
#include "app/Startup.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "settings/AppSetting.h"
#include "settings/IniFile.h"
#include "settings/SettingsFormats.h"
#include "tests/app/JobFixture.h"
#include "tests/app/ProgramCopy.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

const char kNoArchiverText[] =
    "アーカイバーDLLがインストールされていません。\n"
    "起動には対応形式のアーカイバーDLLが少なくとも1種類必要です。\n"
    "詳しくは、ヘルプをご覧ください";

std::string AppDataSettingsFile()
{
    char folder[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, folder, CSIDL_APPDATA, FALSE);
    return std::string(folder) + "\\Norvane\\Tessik\\tessik.ini";
}

}  // namespace

TEST(Startup, WithoutArchiverDllsTheProgramSaysSoAndExitsWithMinusOne)
{
    CProgramCopy program;
    // A DLL in the current folder (the folder being packed) must not be picked up.
    CTestFolder current;
    InstallStandIns(current.Path(), kAllStandIns);
    bool hadSettings = FileExists(AppDataSettingsFile());
    std::string settingsBefore = ReadFileBytes(AppDataSettingsFile());
    // The extension's file would be read by no one else.
    std::string handOff = TempFolderPath() + "\\tessik_filelist5a5a5a5a.tmp";
    const struct
    {
        const char* what;
        std::string arguments;
        bool handOffRemains;
    } cases[] = {
        {"a path", "\"" + (current / "a.txt") + "\"", true},
        {"the extension's hand-off file", "::PROCESSCOMMUNICATION_COMPRESSMODE \"" + handOff + "\"", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        WriteFileBytes(handOff, current / "a.txt\r\n");
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(program.Start(c.arguments, current.Path(), &process));
        CWindowResponder box("エラー  - Tessik", IDOK, 30000, process.dwProcessId);
        const CWindowSnapshot& shown = box.Result();
        DWORD exitCode = CProgramCopy::WaitExit(&process);

        EXPECT_NE(nullptr, shown.hwnd);
        EXPECT_EQ(kNoArchiverText, shown.MessageText());
        EXPECT_TRUE(shown.HasIcon());
        EXPECT_EQ(static_cast<DWORD>(-1), exitCode);
        EXPECT_FALSE(FileExists(program.Folder() + "\\tessik.ini"));
        EXPECT_EQ(hadSettings, FileExists(AppDataSettingsFile()));
        EXPECT_EQ(settingsBefore, ReadFileBytes(AppDataSettingsFile()));
        EXPECT_TRUE(ReadStandInJournal(current.Path(), "7-Zip32.dll").empty());
        EXPECT_EQ(c.handOffRemains, FileExists(handOff));
    }
    DeleteFileA(handOff.c_str());
}

TEST(Startup, DefaultFormatBecomesTheFirstRegisteredFormatInUse)
{
    CStandInFormats standIns({"7-Zip32.dll", "Unlha32.dll", "Cab32.dll"});
    standIns.Script("7-Zip32.dll", "version=312\n");  // no module: 7ZSFX absent
    standIns.Register();
    struct
    {
        const char* what;
        bool loaded;
        int stored;
        bool sevenZipUsed;
        int result;
        const char* message;
    } cases[] = {
        {"built-in default LHA is kept when present", false, 6, true, 6, nullptr},
        {"no settings file, unregistered format", false, 1, true, 0, nullptr},
        {"no settings file, 7-Zip32 switched off", false, 2, false, 4, nullptr},
        {"settings file named an unknown format", true, -1, true, 0,
         "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式を7-Zip32.dll　-　7Z書庫(*.7z)に変更しました。"},
        {"settings file, format switched off", true, 0, false, 4,
         "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式をCab32.dll　-　CAB書庫(*.cab)に変更しました。"},
        {"settings file, usable format", true, 2, true, 2, nullptr},
    };
    for (const auto& c : cases)
    {
        g_sevenZipSettings.Use = c.sevenZipUsed;
        g_appSetting.DefaultArcType = c.stored;
        CDialogScript script(c.message ? std::vector<CDialogScript::CStep>{Press(kErrorBox, IDOK)}
                                       : std::vector<CDialogScript::CStep>{});
        EXPECT_EQ(c.result, EnsureUsableDefaultFormat(c.loaded)) << c.what;
        EXPECT_EQ(c.result, g_appSetting.DefaultArcType) << c.what;
        const auto& seen = script.Finish();
        ASSERT_EQ(c.message ? 1u : 0u, seen.size()) << c.what;
        if (c.message)
        {
            EXPECT_EQ(c.message, seen[0].window.MessageText()) << c.what;
            EXPECT_EQ(nullptr, seen[0].owner);
        }
    }
    g_sevenZipSettings = CSevenZipSettings();
    g_appSetting = CAppSetting();
}

TEST(Startup, SettingsFileReachesTheRegisteredFormats)
{
    CStandInFormats standIns({"7-Zip32.dll", "7z.sfx"});
    standIns.Register();
    BindFormatsToSettings();
    EXPECT_EQ(2, SettingsFindFormatIdByName("7ZIP"));
    EXPECT_EQ(-1, SettingsFindFormatIdByName("LHA"));
    EXPECT_EQ("7ZSFX", SettingsFormatName(1));
    EXPECT_TRUE(SettingsFormatIsUsable(0));
    EXPECT_FALSE(SettingsFormatIsUsable(6));

    CTestFolder folder;
    std::string path = folder / "tessik.ini";
    g_sevenZipSettings.SevenZCompCommand = "-mmt";
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    SettingsWriteAllFormats(ini);
    char value[64] = "";
    GetPrivateProfileStringA("7-ZIP", "SevenZCompCommand", "", value, sizeof(value), path.c_str());
    EXPECT_STREQ("-mmt", value);
    SetSettingsFormats(CSettingsFormats());
    g_sevenZipSettings = CSevenZipSettings();
}
