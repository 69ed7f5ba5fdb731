#include "settings/SettingsFile.h"

#include "archivers/CabSettings.h"
#include "archivers/LhaSettings.h"
#include "archivers/SevenZipSettings.h"
#include "archivers/ZipSettings.h"
#include "settings/AppSetting.h"
#include "settings/DefaultFormat.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kErrorTitle[] = "エラー  - Tessik";

std::string SaveFailedText(const std::string& path)
{
    return "設定ファイル「" + path + "」に書き込めませんでした。\n変更した設定は保存されていません。";
}

std::string ReplacedFormatText(int id)
{
    return "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式を" + FormatDisplayName(id) +
           "に変更しました。";
}

const std::string kLayout1 = CrLfLines({
    "[tessik v0.01]",
    "WindowPos         = 50,60",
    "OverWrite         = 1",
    "LhaArcMethod      = 200",
    "ArcSFX            = c0",
    "[ext]",
    ".bak",
});

// Filled in a way no default is: a save that drops or misplaces any value shows.
void FillEveryValue()
{
    CAppSetting& s = g_appSetting;
    s.WindowLeft = -5, s.WindowTop = 1200, s.DefaultArcType = 8, s.CmpTypeDefault = true;
    s.OverWriteAction = 3, s.StatusDialog = false, s.QuickStart = true, s.CmpEndExit = false;
    s.AllwaysResult = true, s.OutFolder = "C:\\出力\\表", s.OutFolderSw = true, s.OutFolderOpen = true;
    s.AutoComplete = true, s.FilterSw = true;
    CFilterList images;
    images.Title = "画像を除く", images.Comment = "写真と図", images.ActType = 0;
    images.Definitions = {{0, ".jpg", "JPEG", false, false}, {1, "^thumb.*$", "縮小版", true, true}};
    CFilterList texts;
    texts.Title = "文書のみ", texts.ActType = 1;
    texts.Definitions = {{0, ".txt", "", true, false}};
    s.FilterLists = {images, texts};

    CSevenZipSettings& z = g_sevenZipSettings;
    z.SevenZipMode = 9, z.SevenZipAlgorithm = "Deflate64", z.SevenZipFastBytes = 128, z.SevenZipPasses = 3;
    z.SevenZMode = 7, z.SevenZSolid = false, z.SevenZHeaderCompFull = false, z.SevenZHeaderCrypt = true;
    z.SevenZAlgorithm = "PPMd", z.SevenZSfx = "7zC.sfx", z.SevenZCompCommandUse = true;
    z.SevenZCompCommand = "-mx=9 -mmt=on";
    g_cabSettings = {false, 2, 21, true, 1440};
    g_lhaSettings = {true, 1, 3, true};
    g_zipSettings = {true, 9, true, false};
}

const std::vector<std::string> kEveryValueLines = {
    "[GENERAL]", "Version=100", "WindowPos=-5,1200", "DefaultArcType=ZIP", "CmpTypeDefault=true",
    "OverWriteAction=3", "QuickStart=true", "CmpEndExit=false", "AllwaysResult=true", "OutFolderOpen=true",
    "OutFolder=C:\\出力\\表", "OutFolderSw=true", "AutoComplete=true",
    "[FILTER]", "FilterSw=true", "ProfileNum=2",
    "[FILTER_0]", "FilterNum=2", "Title=画像を除く", "Comment=写真と図", "ActType=0",
    "Filter0_Type=0", "Filter0_Filter=.jpg", "Filter0_AlphabetBS=false", "Filter0_Regex=false", "Filter0_Comment=JPEG",
    "Filter1_Type=1", "Filter1_Filter=^thumb.*$", "Filter1_AlphabetBS=true", "Filter1_Regex=true",
    "Filter1_Comment=縮小版",
    "[FILTER_1]", "FilterNum=1", "Title=文書のみ", "Comment=", "ActType=1",
    "Filter0_Type=0", "Filter0_Filter=.txt", "Filter0_AlphabetBS=true", "Filter0_Regex=false", "Filter0_Comment=",
    "[ARCHIVE]", "StatusDialog=false",
    "[7-ZIP]", "SevenZipMode=9", "SevenZipAlgorithm=Deflate64", "SevenZipFastBytes=128", "SevenZipPasses=3",
    "SevenZMode=7", "SevenZSolid=false", "SevenZFilter=true", "SevenZHeaderComp=true", "SevenZHeaderCompFull=false",
    "SevenZHeaderCrypt=true", "SevenZAlgorithm=PPMd", "SevenZSfx=7zC.sfx", "SevenZCompCommandUse=true",
    "SevenZCompCommand=-mx=9 -mmt=on", "Use=true",
    "[CAB]", "CabMode=2", "LzxLevel=21", "MultiVolume=true", "MultiVolumeSize=1440", "Use=false",
    "[LHA]", "LhaMode=1", "SfxMode=3", "SfxSetup=true", "Use=true",
    "[ZIP]", "ZipMode=9", "Crlf2Lf=true", "Lf2Crlf=false", "Use=true",
};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

TEST_F(SettingsFileTest, NoFileAnywhere_DefaultsThenFirstSaveCreatesAppDataFile)
{
    CFakeFormats formats;
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    const CAppSetting& s = g_appSetting;
    EXPECT_EQ(32, s.WindowLeft);
    EXPECT_EQ(32, s.WindowTop);
    EXPECT_EQ(6, s.DefaultArcType);
    EXPECT_TRUE(s.StatusDialog);
    EXPECT_TRUE(s.CmpEndExit);
    EXPECT_TRUE(s.FilterLists.empty());
    EXPECT_EQ(6, CheckDefaultFormat(false));

    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(1, formats.writes);
    EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\nWindowPos=32,32\r\n"));
    EXPECT_FALSE(FileExists(ProgramIni()));
    EXPECT_TRUE(StrayFilesBeside(AppDataIni()).empty());
}

TEST_F(SettingsFileTest, FileBesideProgram_IsReadAndLaterSavesGoToAppData)
{
    CFakeFormats formats;
    const std::string besideProgram = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=7,8", "[LHA]", "LhaMode=2"});
    PlaceFile(ProgramIni(), besideProgram);
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(100, g_loadedLayoutVersion);
    EXPECT_EQ(7, g_appSetting.WindowLeft);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    ASSERT_EQ(1u, formats.reads.size());
    EXPECT_EQ(100, formats.reads[0].first);
    EXPECT_EQ(ProgramIni(), formats.reads[0].second);

    g_appSetting.WindowLeft = 9;
    SaveSettings();
    EXPECT_EQ(besideProgram, ReadFileBytes(ProgramIni()));
    ResetAllSettings();
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(AppDataIni(), formats.reads.at(1).second);
    EXPECT_EQ(9, g_appSetting.WindowLeft);
    EXPECT_EQ(8, g_appSetting.WindowTop);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
}

TEST_F(SettingsFileTest, SavedFileHasEveryKeyInOrderAndReadsBackTheSame)
{
    CFakeFormats formats;
    FillEveryValue();
    SaveSettings();
    EXPECT_EQ(CrLfLines(kEveryValueLines), ReadFileBytes(AppDataIni()));

    ResetAllSettings();
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    EXPECT_EQ(CrLfLines(kEveryValueLines), ReadFileBytes(AppDataIni()));
    EXPECT_EQ(2u, g_appSetting.FilterLists.at(0).Definitions.size());
}

TEST_F(SettingsFileTest, ValueForms_BoolsWindowPosAndVersion)
{
    CFakeFormats formats;
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=101", "WindowPos=1,2,3", "CmpEndExit=TRUE",
                                       "QuickStart=1", "AllwaysResult=True", "OutFolderSw=yes", "OverWriteAction=7",
                                       "[ARCHIVE]", "StatusDialog=false", "[7-ZIP]", "SevenZMode=9"}));
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(101, g_loadedLayoutVersion);
    const CAppSetting& s = g_appSetting;
    EXPECT_EQ(32, s.WindowLeft);
    EXPECT_EQ(32, s.WindowTop);
    EXPECT_TRUE(s.CmpEndExit);
    EXPECT_FALSE(s.QuickStart);
    EXPECT_TRUE(s.AllwaysResult);
    EXPECT_FALSE(s.OutFolderSw);
    EXPECT_EQ(7, s.OverWriteAction);
    EXPECT_FALSE(s.StatusDialog);
    // A newer version number still carries the format sections of this layout.
    EXPECT_EQ(9, g_sevenZipSettings.SevenZMode);
    SaveSettings();
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nWindowPos=32,32\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find("SevenZMode=9\r\n"));

    for (const char* windowPos : {"5", "10,abc"})
    {
        SCOPED_TRACE(windowPos);
        ResetAllSettings();
        PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", std::string("WindowPos=") + windowPos}));
        LoadSettings();
        EXPECT_EQ(windowPos[0] == '5' ? 32 : 10, g_appSetting.WindowLeft);
        EXPECT_EQ(windowPos[0] == '5' ? 32 : 0, g_appSetting.WindowTop);
    }
}

TEST_F(SettingsFileTest, NoVersion_ValuesTakenFormatsSkippedAndWholeFileRewritten)
{
    CFakeFormats formats({0, 1, 2, 4, 5, 6, 7});
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=0", "WindowPos=3,4", "DefaultArcType=ZIP", "[Other]",
                                       "Kept=no", "[7-ZIP]", "SevenZMode=9"}));
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    EXPECT_EQ(3, g_appSetting.WindowLeft);
    EXPECT_EQ(5, g_sevenZipSettings.SevenZMode);
    {
        CWindowResponder noMessage(kErrorTitle, IDOK, 1500);
        EXPECT_EQ(0, CheckDefaultFormat(false));
        EXPECT_EQ(nullptr, noMessage.Result().hwnd);
    }

    SaveSettings();
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nWindowPos=3,4\r\nDefaultArcType=7Z\r\n")) << saved;
    EXPECT_EQ(std::string::npos, saved.find("[Other]"));
    EXPECT_NE(std::string::npos, saved.find("SevenZMode=5\r\n"));
}

TEST_F(SettingsFileTest, CurrentFileKeepsWhatThisRunDoesNotWrite)
{
    CFakeFormats formats({6, 7});
    const std::string sevenZip = CrLfLines({"[7-ZIP]", "SevenZMode=9", "Use=false"});
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "Future=1", "[FILTER]", "ProfileNum=0"}) +
                                sevenZip + CrLfLines({"[Other]", "Kept=yes"}));
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nFuture=1\r\nWindowPos=32,32\r\n")) << saved;
    EXPECT_NE(std::string::npos, saved.find(sevenZip + "[Other]\r\nKept=yes\r\n[ARCHIVE]\r\n")) << saved;
}

TEST_F(SettingsFileTest, UnusableDefaultFormatIsReplacedWithMessage)
{
    const struct
    {
        const char* name;
        std::vector<int> registered;
        std::vector<std::string> lines;
        int replacement;
    } cases[] = {
        {"not registered", {1, 2, 6, 7}, {"[GENERAL]", "Version=100", "DefaultArcType=ZIP"}, 1},
        {"not in use", {4, 6, 7}, {"[GENERAL]", "Version=100", "DefaultArcType=LHA", "[LHA]", "Use=false"}, 4},
        {"no such name", {0, 6}, {"[GENERAL]", "Version=100", "DefaultArcType=lha"}, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ResetAllSettings();
        CFakeFormats formats(c.registered);
        PlaceFile(AppDataIni(), CrLfLines(c.lines));
        ASSERT_TRUE(LoadSettings());
        EXPECT_EQ(-1, g_appSetting.DefaultArcType);

        CWindowResponder responder(kErrorTitle, IDOK);
        EXPECT_EQ(c.replacement, CheckDefaultFormat(true));
        const CWindowSnapshot& box = responder.Result();
        ASSERT_NE(nullptr, box.hwnd);
        EXPECT_EQ(ReplacedFormatText(c.replacement), box.MessageText());
        EXPECT_TRUE(box.HasIcon());
        EXPECT_EQ(c.replacement, g_appSetting.DefaultArcType);
    }
}

TEST_F(SettingsFileTest, FirstLayoutFileIsImportedAndReplacedOnlyWhenTheNewOneIsComplete)
{
    CFakeFormats formats;
    PlaceFile(AppDataIni(), kLayout1);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(1, g_loadedLayoutVersion);
    ASSERT_EQ(1u, formats.reads.size());
    EXPECT_EQ(1, formats.reads[0].first);
    EXPECT_EQ(50, g_appSetting.WindowLeft);
    EXPECT_EQ(kOverwriteAlways, g_appSetting.OverWriteAction);
    EXPECT_EQ(7, g_appSetting.DefaultArcType);
    EXPECT_EQ(1, g_lhaSettings.LhaMode);
    EXPECT_TRUE(g_lhaSettings.SfxSetup);
    EXPECT_EQ(6, g_zipSettings.ZipMode);
    ASSERT_EQ(1u, g_appSetting.FilterLists.size());

    std::string duringSave;
    formats.duringWrite = [&](const char*) { duringSave = ReadFileBytes(AppDataIni()); };
    SaveSettings();
    EXPECT_EQ(kLayout1, duringSave);
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nWindowPos=50,60\r\nDefaultArcType=LHASFX\r\n")) << saved;
    EXPECT_EQ(std::string::npos, saved.find("[tessik"));
    EXPECT_EQ(std::string::npos, saved.find("[ext]"));
    EXPECT_NE(std::string::npos, saved.find("Title=デフォルト\r\n"));
    EXPECT_NE(std::string::npos, saved.find("[LHA]\r\nLhaMode=1\r\nSfxMode=2\r\nSfxSetup=true\r\n"));
    EXPECT_TRUE(StrayFilesBeside(AppDataIni()).empty());
}

TEST_F(SettingsFileTest, SecondLayoutBesideProgramIsImportedAndLeftThere)
{
    CFakeFormats formats;
    const std::string layout2 = CrLfLines({"[tessik v0.02]", "DefaultArchiver = 7Z", "StatusDraw = 0", "[lha]",
                                           "Mode=2", "[zip]", "Mode=3", "Lf2Crlf=1", "[ext]", ".old"});
    PlaceFile(ProgramIni(), layout2);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(2, g_loadedLayoutVersion);
    EXPECT_EQ(0, g_appSetting.DefaultArcType);
    EXPECT_FALSE(g_appSetting.StatusDialog);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    EXPECT_EQ(3, g_zipSettings.ZipMode);
    EXPECT_TRUE(g_zipSettings.Lf2Crlf);
    EXPECT_EQ(5, g_sevenZipSettings.SevenZMode);

    SaveSettings();
    EXPECT_EQ(layout2, ReadFileBytes(ProgramIni()));
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\n"));
    EXPECT_NE(std::string::npos, saved.find("Filter0_Filter=.old\r\n"));
    EXPECT_NE(std::string::npos, saved.find("[ZIP]\r\nZipMode=3\r\nCrlf2Lf=false\r\nLf2Crlf=true\r\n"));
}

TEST_F(SettingsFileTest, FileThatIsNoSettingsFileGivesDefaultsAndIsReplaced)
{
    CFakeFormats formats;
    const char junkBytes[] = "\x89PNG\r\n\x1a\n\0\0[GENERAL]x\xff\xfe=1\r\n";
    std::string junk(junkBytes, sizeof(junkBytes) - 1);
    PlaceFile(AppDataIni(), junk);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    EXPECT_EQ(32, g_appSetting.WindowLeft);
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
    SaveSettings();
    EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\n"));
}

TEST_F(SettingsFileTest, SaveThatCannotWriteSaysSoAndKeepsTheOldFile)
{
    CFakeFormats formats;
    g_appSetting.WindowLeft = 77;
    {
        SCOPED_TRACE("read-only file");
        const std::string old = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=1,1"});
        PlaceFile(AppDataIni(), old);
        g_loadedLayoutVersion = 100;
        SetFileAttributesA(AppDataIni().c_str(), FILE_ATTRIBUTE_READONLY);
        CWindowResponder responder(kErrorTitle, IDOK);
        EXPECT_TRUE(SaveSettings());
        const CWindowSnapshot& box = responder.Result();
        ASSERT_NE(nullptr, box.hwnd);
        EXPECT_EQ(SaveFailedText(AppDataIni()), box.MessageText());
        EXPECT_TRUE(box.HasIcon());
        SetFileAttributesA(AppDataIni().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(old, ReadFileBytes(AppDataIni()));
        EXPECT_TRUE(StrayFilesBeside(AppDataIni()).empty());
    }
    {
        SCOPED_TRACE("replacement refused at the last step");
        PlaceFile(AppDataIni(), kLayout1);
        g_loadedLayoutVersion = 1;
        HANDLE held = INVALID_HANDLE_VALUE;
        formats.duringWrite = [&](const char*) {
            held = CreateFileA(AppDataIni().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, 0, NULL);
        };
        CWindowResponder responder(kErrorTitle, IDOK);
        SaveSettings();
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        CloseHandle(held);
        EXPECT_EQ(SaveFailedText(AppDataIni()), responder.Result().MessageText());
        EXPECT_EQ(kLayout1, ReadFileBytes(AppDataIni()));
        EXPECT_TRUE(StrayFilesBeside(AppDataIni()).empty());
        formats.duringWrite = nullptr;
    }
    {
        SCOPED_TRACE("folder cannot be created");
        DeleteTree(AppDataFolder() + "\\Norvane");
        WriteFileBytes(AppDataFolder() + "\\Norvane", "a file where the folder belongs");
        CWindowResponder responder(kErrorTitle, IDOK);
        SaveSettings();
        EXPECT_EQ(SaveFailedText(AppDataIni()), responder.Result().MessageText());
        EXPECT_EQ("a file where the folder belongs", ReadFileBytes(AppDataFolder() + "\\Norvane"));
    }
}
