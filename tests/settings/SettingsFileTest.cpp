#include "settings/SettingsFile.h"

#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "archivers/formatsettings/ZipSettings.h"
#include "common/HeldFile.h"
#include "common/ScopedHandle.h"
#include "settings/AppSetting.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

namespace {

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const std::string kLayout1 = CrLfLines({
    "[tessik v0.01]", "WindowPos         = 50,60", "OverWrite         = 8", "ArcSFX            = c0",
    "FolderOpen        = 1", "DefaultFolder     = C:\\古い 出力\\表", "DefaultFolderSw   = 5",
    "LhaArcState       = 0", "ExtFilter         = 1", "LhaArcMethod      = 200", "QuickStart        = 1",
    "WindowPos = 1,1", "[ext]", ".lzh", "", "[section-like pattern]",
});

// No value is its default, so a save that drops or misplaces one shows.
void FillEveryValue()
{
    CAppSetting& s = g_appSetting;
    s.WindowLeft = -5, s.WindowTop = 1200, s.DefaultArcType = 8, s.CmpTypeDefault = true;
    s.OverWriteAction = 3, s.StatusDialog = false, s.QuickStart = true, s.CmpEndExit = false;
    s.AllwaysResult = true, s.OutFolder = "C:\\出力\\表", s.OutFolderSw = true, s.OutFolderOpen = true;
    s.AutoComplete = true, s.FilterSw = true;
    CFilterList images;
    images.Title = "画像を除く", images.Comment = "写真と図";
    images.Definitions = {{0, ".jpg", "JPEG", false, false}, {1, "^thumb.*$", "縮小版", true, true}};
    CFilterList texts;
    texts.Title = "文書のみ", texts.ActType = 1, texts.Definitions = {{0, ".txt", "", true, false}};
    s.FilterLists = {images, texts};
    g_sevenZipSettings = {false, 9, "Deflate64", 128, 3, 7, false, false, false, false, true, "PPMd",
                          "7zC.sfx", true, "-mx=9 -mmt=on"};
    g_cabSettings = {false, 2, 21, true, 1440};
    g_lhaSettings = {false, 1, 3, true};
    g_zipSettings = {true, 9, true, true};  // the default format stays in use
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
    "SevenZMode=7", "SevenZSolid=false", "SevenZFilter=false", "SevenZHeaderComp=false", "SevenZHeaderCompFull=false",
    "SevenZHeaderCrypt=true", "SevenZAlgorithm=PPMd", "SevenZSfx=7zC.sfx", "SevenZCompCommandUse=true",
    "SevenZCompCommand=-mx=9 -mmt=on", "Use=false",
    "[CAB]", "CabMode=2", "LzxLevel=21", "MultiVolume=true", "MultiVolumeSize=1440", "Use=false",
    "[LHA]", "LhaMode=1", "SfxMode=3", "SfxSetup=true", "Use=false",
    "[ZIP]", "ZipMode=9", "Crlf2Lf=true", "Lf2Crlf=true", "Use=true",
};

bool SaveSettings()
{
    std::string file;
    return ::SaveSettings(&file);
}

}  // namespace

TEST_F(SettingsFileTest, DefaultsThenFileBesideProgramThenAppDataFile)
{
    CFakeFormats formats;
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    EXPECT_EQ(32, g_appSetting.WindowLeft);
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
    EXPECT_TRUE(g_appSetting.StatusDialog);
    EXPECT_TRUE(g_appSetting.CmpEndExit);

    const std::string beside = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=7,8", "[LHA]", "LhaMode=2"});
    PlaceFile(ProgramIni(), beside);
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(100, g_loadedLayoutVersion);
    EXPECT_EQ(7, g_appSetting.WindowLeft);
    EXPECT_EQ(2, g_lhaSettings.LhaMode);
    ASSERT_EQ(1u, formats.reads.size());
    EXPECT_EQ(std::make_pair(100, ProgramIni()), formats.reads[0]);

    g_appSetting.WindowLeft = 9;
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(beside, ReadFileBytes(ProgramIni()));
    EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\nWindowPos=9,8\r\n"));
    ResetAllSettings();
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(AppDataIni(), formats.reads.at(1).second);
    EXPECT_EQ(9, g_appSetting.WindowLeft);
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
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
}

// The user's application-data folder pointed elsewhere for one test, as the
// shell reads it (the folder of a user whose name has no Shift_JIS form).
class CAppDataOverride
{
public:
    explicit CAppDataOverride(const std::wstring& folder)
    {
        m_had = ReadValue(&m_old);
        RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, L"AppData", REG_EXPAND_SZ, folder.c_str(),
                        static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }
    ~CAppDataOverride()
    {
        if (m_had)
            RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, L"AppData", REG_EXPAND_SZ, m_old.c_str(),
                            static_cast<DWORD>((m_old.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, L"AppData");
    }

private:
    static constexpr const wchar_t* kUserShellFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    static bool ReadValue(std::wstring* value)
    {
        wchar_t buffer[1024];
        DWORD size = sizeof(buffer);
        if (RegGetValueW(HKEY_CURRENT_USER, kUserShellFolders, L"AppData", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, NULL,
                         buffer, &size) != ERROR_SUCCESS)
            return false;
        *value = buffer;
        return true;
    }

    std::wstring m_old;
    bool m_had = false;
};

TEST_F(SettingsFileTest, AnAppDataFolderBeyondShiftJisHoldsTheSettingsFile)
{
    CFakeFormats formats;
    CTestFolder home;
    std::wstring appData = Widen(home.Path()) + L"\\사용자";
    CreateDirectoryW(appData.c_str(), NULL);
    std::wstring file = appData + L"\\Norvane\\Tessik\\tessik.ini";
    {
        CAppDataOverride moved(appData);
        FillEveryValue();
        std::string saved;
        ASSERT_TRUE(SaveSettings(&saved));
        EXPECT_EQ(std::string::npos, saved.find('?')) << saved;
        EXPECT_EQ(CrLfLines(kEveryValueLines), ReadWideFile(file));
        ResetAllSettings();
        ASSERT_TRUE(LoadSettings());
        ASSERT_TRUE(SaveSettings(&saved));
        EXPECT_EQ(CrLfLines(kEveryValueLines), ReadWideFile(file));
    }
    EXPECT_FALSE(FileExists(AppDataIni()));
}

TEST_F(SettingsFileTest, ValueForms_BoolsWindowPosAndNewerVersion)
{
    CFakeFormats formats;
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=101", "WindowPos=1,2,3", "CmpEndExit=TRUE",
                                       "QuickStart=1", "OverWriteAction=7", "[7-ZIP]", "SevenZMode=9"}));
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(101, g_loadedLayoutVersion);
    EXPECT_EQ(32, g_appSetting.WindowLeft);
    EXPECT_TRUE(g_appSetting.CmpEndExit);
    EXPECT_FALSE(g_appSetting.QuickStart);
    EXPECT_EQ(7, g_appSetting.OverWriteAction);
    // A newer version number still carries the format sections of this layout.
    EXPECT_EQ(9, g_sevenZipSettings.SevenZMode);
    SaveSettings();
    EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\nWindowPos=32,32\r\n"));

    for (const char* windowPos : {"WindowPos=5", "WindowPos=10,abc"})
    {
        SCOPED_TRACE(windowPos);
        ResetAllSettings();
        PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", windowPos}));
        LoadSettings();
        EXPECT_EQ(windowPos[11] == '\0' ? 32 : 10, g_appSetting.WindowLeft);
        EXPECT_EQ(windowPos[11] == '\0' ? 32 : 0, g_appSetting.WindowTop);
    }
}

TEST_F(SettingsFileTest, NoVersion_ValuesTakenFormatsSkippedAndWholeFileRewritten)
{
    CFakeFormats formats;
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=0", "WindowPos=3,4", "DefaultArcType=CAB", "[Other]",
                                       "Kept=no", "[7-ZIP]", "SevenZMode=9", "[CAB]", "Use=false"}));
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    EXPECT_EQ(3, g_appSetting.WindowLeft);
    EXPECT_EQ(4, g_appSetting.DefaultArcType);
    SaveSettings();
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nWindowPos=3,4\r\nDefaultArcType=CAB\r\n")) << saved;
    EXPECT_FALSE(Contains(saved, "[Other]"));
    EXPECT_TRUE(Contains(saved, "SevenZMode=5\r\n"));
}

TEST_F(SettingsFileTest, CurrentFileKeepsWhatThisRunDoesNotWrite)
{
    CFakeFormats formats({6, 7});
    const std::string sevenZip = CrLfLines({"[7-ZIP]", "SevenZMode=9", "Use=false"});
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "Future=1"}) + sevenZip +
                                CrLfLines({"[Other]", "Kept=yes"}));
    ASSERT_TRUE(LoadSettings());
    SaveSettings();
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, "[GENERAL]\r\nVersion=100\r\nFuture=1\r\nWindowPos=32,32\r\n")) << saved;
    EXPECT_TRUE(Contains(saved, sevenZip + "[Other]\r\nKept=yes\r\n[FILTER]\r\n")) << saved;
}

TEST_F(SettingsFileTest, DefaultFormatNotRegisteredOrNotInUseBecomesNone)
{
    const struct
    {
        std::vector<int> registered;
        std::vector<std::string> lines;
        int format;
    } cases[] = {
        {{1, 2, 6, 7}, {"[GENERAL]", "Version=100", "DefaultArcType=ZIP"}, -1},
        {{4, 6, 7}, {"[GENERAL]", "Version=100", "DefaultArcType=LHA", "[LHA]", "Use=false"}, -1},
        {{0, 6}, {"[GENERAL]", "Version=100", "DefaultArcType=lha"}, -1},
        {{4, 6, 7}, {"[GENERAL]", "Version=100", "DefaultArcType=CAB"}, 4},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.lines[2]);
        ResetAllSettings();
        CFakeFormats formats(c.registered);
        PlaceFile(AppDataIni(), CrLfLines(c.lines));
        EXPECT_TRUE(LoadSettings());
        EXPECT_EQ(c.format, g_appSetting.DefaultArcType);
    }
}

// The old values are checked in the file the next save writes.
TEST_F(SettingsFileTest, FirstLayoutIsImportedAndReplacedOnlyOnceTheNewFileIsComplete)
{
    CFakeFormats formats;
    PlaceFile(AppDataIni(), kLayout1);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(1, g_loadedLayoutVersion);
    EXPECT_EQ(std::make_pair(1, AppDataIni()), formats.reads.at(0));

    std::string duringSave;
    formats.duringWrite = [&]() { duringSave = ReadFileBytes(AppDataIni()); };
    SaveSettings();
    EXPECT_EQ(kLayout1, duringSave);
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, CrLfLines({
        "[GENERAL]", "Version=100", "WindowPos=50,60", "DefaultArcType=LHASFX", "CmpTypeDefault=false",
        "OverWriteAction=3", "QuickStart=false", "CmpEndExit=true", "AllwaysResult=false", "OutFolderOpen=true",
        "OutFolder=C:\\古い 出力\\表", "OutFolderSw=true", "AutoComplete=false",
        "[FILTER]", "FilterSw=true", "ProfileNum=1",
        "[FILTER_0]", "FilterNum=2", "Title=デフォルト", "Comment=以前のバージョンから引き継いだフィルタリスト", "ActType=0",
        "Filter0_Type=0", "Filter0_Filter=.lzh", "Filter0_AlphabetBS=false", "Filter0_Regex=false", "Filter0_Comment=",
        "Filter1_Type=0", "Filter1_Filter=[section-like pattern]", "Filter1_AlphabetBS=false", "Filter1_Regex=false",
        "Filter1_Comment=", "[ARCHIVE]", "StatusDialog=false", "[7-ZIP]"}))) << saved;
    EXPECT_TRUE(Contains(saved, CrLfLines({"[LHA]", "LhaMode=1", "SfxMode=2", "SfxSetup=true", "Use=true",
                                           "[ZIP]", "ZipMode=6"})));
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
}

TEST_F(SettingsFileTest, SecondLayoutBesideProgramIsImportedAndLeftThere)
{
    CFakeFormats formats;
    const std::string layout2 = CrLfLines({
        "[tessik v0.02]", "WindowPos = 5,6", "DefaultArchiver = ZIP rest", "OverWriteAction=3",
        "OutDirectory =   D:\\出力 先\\", "OutDirectorySw= 1", "OutDirectoryOpen =1", "StatusDraw = 0",
        "QuickStart = 1", "ExtFilter = 2", "CmpEndExit = 0", "[lha]", "Mode=2", "SfxMode=1", "Win32MSfxSetup=1",
        "[zip]", "Mode=3", "Lf2Crlf=1", "[ext]", ".old"});
    PlaceFile(ProgramIni(), layout2);
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(2, g_loadedLayoutVersion);

    SaveSettings();
    EXPECT_EQ(layout2, ReadFileBytes(ProgramIni()));
    std::string saved = ReadFileBytes(AppDataIni());
    EXPECT_TRUE(StartsWith(saved, CrLfLines({
        "[GENERAL]", "Version=100", "WindowPos=5,6", "DefaultArcType=ZIP", "CmpTypeDefault=false",
        "OverWriteAction=3", "QuickStart=true", "CmpEndExit=true", "AllwaysResult=false", "OutFolderOpen=true",
        "OutFolder=D:\\出力 先\\", "OutFolderSw=true", "AutoComplete=false", "[FILTER]", "FilterSw=true"}))) << saved;
    EXPECT_TRUE(Contains(saved, "Filter0_Filter=.old\r\nFilter0_AlphabetBS"));
    EXPECT_TRUE(Contains(saved, CrLfLines({"[ARCHIVE]", "StatusDialog=false", "[7-ZIP]", "SevenZipMode=5"})));
    EXPECT_TRUE(Contains(saved, CrLfLines({"[LHA]", "LhaMode=2", "SfxMode=1", "SfxSetup=true", "Use=true",
                                           "[ZIP]", "ZipMode=3", "Crlf2Lf=false", "Lf2Crlf=true"})));
}

TEST_F(SettingsFileTest, FileThatIsNoSettingsFileGivesDefaultsAndIsReplaced)
{
    CFakeFormats formats;
    const char junk[] = "\x89PNG\r\n\x1a\n\0\0[GENERAL]x\xff\xfe=1\r\n";
    PlaceFile(AppDataIni(), std::string(junk, sizeof(junk) - 1));
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(0, g_loadedLayoutVersion);
    EXPECT_TRUE(formats.reads.empty());
    EXPECT_EQ(32, g_appSetting.WindowLeft);
    SaveSettings();
    EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\n"));
}

TEST_F(SettingsFileTest, SaveThatCannotWriteNamesTheFileAndKeepsTheOldOne)
{
    CFakeFormats formats;
    const std::string current = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=1,1"});
    HANDLE held = INVALID_HANDLE_VALUE;
    const struct
    {
        const char* name;
        const std::string& old;
        int loadedVersion;
        bool readOnly;
        bool holdDuringWrite;
    } cases[] = {
        {"read-only file", current, 100, true, false},
        {"replacement refused at the last step", kLayout1, 1, false, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        PlaceFile(AppDataIni(), c.old);
        g_loadedLayoutVersion = c.loadedVersion;
        SetFileAttributesA(AppDataIni().c_str(), c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        formats.duringWrite = [&]() {
            if (c.holdDuringWrite)
                held = CreateFileA(AppDataIni().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, 0, NULL);
        };
        std::string file;
        EXPECT_FALSE(SaveSettings(&file));
        EXPECT_EQ(AppDataIni(), file);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        SetFileAttributesA(AppDataIni().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(c.old, ReadFileBytes(AppDataIni()));
        EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
    }

    DeleteTree(m_appData + "\\Norvane");
    WriteFileBytes(m_appData + "\\Norvane", "a file where the folder belongs");
    std::string file;
    EXPECT_FALSE(SaveSettings(&file));
    EXPECT_EQ(AppDataIni(), file);
}

TEST_F(SettingsFileTest, FileHeldByAnotherProgramIsWaitedFor)
{
    CFakeFormats formats;
    const std::string current = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=1,1"});
    const struct
    {
        const char* name;
        const std::string& old;
        int loadedVersion;
        bool load;
    } cases[] = {
        {"save copies the current file", current, 100, false},
        {"save replaces an old layout", kLayout1, 1, false},
        {"load reads the file", current, 0, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ResetAllSettings();
        PlaceFile(AppDataIni(), c.old);
        g_loadedLayoutVersion = c.loadedVersion;
        g_appSetting.WindowTop = 9;
        CScopedHandle held(CreateFileA(AppDataIni().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL));
        ASSERT_TRUE(held.IsValid());
        CScopedHandle waiting(CreateEventA(NULL, TRUE, FALSE, NULL));
        SetHeldFileWaitObserver([&]() { SetEvent(waiting.Get()); });

        bool done = false;
        std::thread worker([&]() { done = c.load ? LoadSettings() : SaveSettings(); });
        // Let go once the other side has found the file held and waits for it.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(waiting.Get(), 30000));
        held.Close();
        worker.join();
        SetHeldFileWaitObserver(nullptr);

        EXPECT_TRUE(done);
        if (c.load)
            EXPECT_EQ(1, g_appSetting.WindowTop);
        else
            EXPECT_TRUE(StartsWith(ReadFileBytes(AppDataIni()), "[GENERAL]\r\nVersion=100\r\nWindowPos=32,9\r\n"));
        EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
    }
}

TEST_F(SettingsFileTest, PreviewFolderIsAKeyOfItsOwnWrittenOnlyOnceSet)
{
    CFakeFormats formats;
    g_appSetting.AutoComplete = true;
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(Contains(ReadFileBytes(AppDataIni()), "PreviewFolder"));

    g_appSetting.PreviewFolder = "C:\\写真 2024\\表";
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(Contains(ReadFileBytes(AppDataIni()),
                         CrLfLines({"AutoComplete=true", "PreviewFolder=C:\\写真 2024\\表", "[FILTER]"})));
    ResetAllSettings();
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ("C:\\写真 2024\\表", g_appSetting.PreviewFolder);
}

// Off is written after the keys of earlier versions; on again replaces it.
TEST_F(SettingsFileTest, VerifyArchiveIsWrittenOnceOffAndReadBack)
{
    CFakeFormats formats;
    for (const char* line : {"VerifyArchive=false", "VerifyArchive=true"})
    {
        g_appSetting.VerifyArchive = Contains(line, "true");
        ASSERT_TRUE(SaveSettings());
        EXPECT_TRUE(Contains(ReadFileBytes(AppDataIni()), CrLfLines({"AutoComplete=false", line, "[FILTER]"})));
        ResetAllSettings();
        ASSERT_TRUE(LoadSettings());
        EXPECT_EQ(Contains(line, "true"), g_appSetting.VerifyArchive) << line;
    }
}

// A file of a program without TessikZip.dll: the TZIP section starts from the
// defaults, and the save adds it and changes no byte of the rest; an import of
// the first layout, which had none, gets the defaults.
TEST_F(SettingsFileTest, TzipSectionIsAddedToAnOlderFileAndReadsBack)
{
    const std::vector<std::string> defaults = {"Level=6",   "Method=Deflate", "Encryption=AES",
                                               "Names=UTF-8", "Threads=0",      "Use=true"};
    CFakeFormats formats({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    const std::string before = CrLfLines(kEveryValueLines);
    PlaceFile(AppDataIni(), before);
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(before + "[TZIP]\r\n" + CrLfLines(defaults), ReadFileBytes(AppDataIni()));

    g_tessikZipSettings = {false, 1, ETessikZipMethod::Store, ETessikZipEncryption::ZipCrypto,
                           ETessikZipNames::ShiftJis, 12};
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(std::vector<std::string>({"Level=1", "Method=Store", "Encryption=ZipCrypto", "Names=Shift_JIS",
                                        "Threads=12", "Use=false"}),
              SectionLines(AppDataIni(), "TZIP"));
    std::string saved = ReadFileBytes(AppDataIni());
    ResetAllSettings();
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(saved, ReadFileBytes(AppDataIni()));

    ResetAllSettings();
    PlaceFile(AppDataIni(), kLayout1);
    ASSERT_TRUE(LoadSettings());
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(defaults, SectionLines(AppDataIni(), "TZIP"));
}
