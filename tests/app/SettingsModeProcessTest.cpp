// Settings mode as a separate program: started without arguments, what OK,
// Cancel and the close box leave in the settings file, and compress-mode runs
// that use what was set on the basic page and on an archiver page.
#include "resources/resource.h"
#include "settings/IniFile.h"
#include "tests/app/ProgramCopy.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const char kSettingsTitle[] = "設定  - Tessik";
const char kCompressTitle[] = "圧縮  - Tessik";
const DWORD kDialogTimeoutMs = 30000;

// The basic page: the settings dialog's first child dialog.
HWND BasicPage(HWND dialog)
{
    return FindWindowExA(dialog, NULL, "#32770", NULL);
}

struct CPageSearch
{
    int firstId;
    int secondId;
    HWND page;
};

BOOL CALLBACK FindPage(HWND child, LPARAM param)
{
    CPageSearch* search = reinterpret_cast<CPageSearch*>(param);
    if (GetDlgItem(child, search->firstId) != NULL && GetDlgItem(child, search->secondId) != NULL)
    {
        search->page = child;
        return FALSE;
    }
    return TRUE;
}

// The page of another process's settings dialog that holds both controls.
HWND FindPageWith(HWND dialog, int firstId, int secondId)
{
    CPageSearch search = {firstId, secondId, NULL};
    EnumChildWindows(dialog, FindPage, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

class SettingsModeProcess : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        InstallStandIns(m_program.Folder(), kAllStandIns);
        WriteStandInScript(m_program.Folder(), "7-Zip32.dll", "version=431\ncreate=archive\n");
    }

    // Runs the program with arguments; act works on the window with title.
    DWORD RunProgram(const std::string& arguments, const char* title, CWindowResponder::Action act,
                     CWindowSnapshot* shown = nullptr)
    {
        PROCESS_INFORMATION process = {};
        if (!m_program.Start(arguments, m_data.Path(), &process))
            return 98;
        CWindowResponder window(title, act, kDialogTimeoutMs, process.dwProcessId);
        if (shown != nullptr)
            *shown = window.Result();
        else
            window.Result();
        return CProgramCopy::WaitExit(&process);
    }

    std::string StoredValue(const char* section, const char* key)
    {
        CIniFile::FlushProfileCache(AppDataIni().c_str());
        char value[256] = "";
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof(value), AppDataIni().c_str());
        return value;
    }

    CProgramCopy m_program;
    CTestFolder m_data;
};

}  // namespace

TEST_F(SettingsModeProcess, OkWritesTheSettingsCancelAndTheCloseBoxDoNot)
{
    const std::string before =
        CrLfLines({"[GENERAL]", "Version=100", "DefaultArcType=7Z", "QuickStart=false", "WindowPos=40,50"});
    const struct
    {
        const char* what;
        std::function<void(HWND)> close;
        bool written;
    } cases[] = {
        {"Cancel", [](HWND dialog) { PressButton(dialog, IDCANCEL); }, false},
        {"close box", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
        {"OK", [](HWND dialog) { PressButton(dialog, IDOK); }, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        PlaceFile(AppDataIni(), before);
        CWindowSnapshot shown;
        EXPECT_EQ(0u, RunProgram("", kSettingsTitle,
                                 [&c](HWND dialog) {
                                     HWND page = BasicPage(dialog);
                                     SendMessageA(GetDlgItem(page, IDC_QUICK_START), BM_SETCHECK, BST_CHECKED, 0);
                                     SetWindowPos(dialog, NULL, 150, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                                     c.close(dialog);
                                 },
                                 &shown));
        ASSERT_NE(nullptr, shown.hwnd);
        if (c.written)
        {
            EXPECT_EQ("true", StoredValue("GENERAL", "QuickStart"));
            EXPECT_EQ("150,100", StoredValue("GENERAL", "WindowPos"));
        }
        else
        {
            EXPECT_EQ(before, ReadFileBytes(AppDataIni()));
        }
    }
    // The next run opens where the dialog was closed with OK.
    POINT corner = {};
    EXPECT_EQ(0u, RunProgram("", kSettingsTitle, [&corner](HWND dialog) {
        RECT frame;
        GetWindowRect(dialog, &frame);
        corner = {frame.left, frame.top};
        PressButton(dialog, IDCANCEL);
    }));
    EXPECT_EQ(150, corner.x);
    EXPECT_EQ(100, corner.y);
}

TEST_F(SettingsModeProcess, FormatAndOverwriteActionSetInTheDialogDriveTheNextCompression)
{
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "DefaultArcType=LHA", "OverWriteAction=0",
                                       "CmpEndExit=true"}));
    EXPECT_EQ(0u, RunProgram("", kSettingsTitle, [](HWND dialog) {
        HWND page = BasicPage(dialog);
        SendMessageA(GetDlgItem(page, IDC_DEFAULT_FORMAT), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>("7-Zip32.dll　-　ZIP書庫(*.zip)"));
        SendMessageA(GetDlgItem(page, IDC_OVERWRITE_ACTION), CB_SETCURSEL, 1, 0);
        SendMessageA(GetDlgItem(page, IDC_QUICK_START), BM_SETCHECK, BST_CHECKED, 0);
        PressButton(dialog, IDOK);
    }));
    EXPECT_EQ("7ZIP", StoredValue("GENERAL", "DefaultArcType"));
    EXPECT_EQ("1", StoredValue("GENERAL", "OverWriteAction"));

    // An archive of that name exists: "無条件で上書き" replaces it without asking.
    m_data.WriteFile("docs\\a.txt", "a");
    m_data.WriteFile("docs.zip", "old");
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(m_program.Start("\"" + m_data / "docs" + "\"", m_data.Path(), &process));
    EXPECT_EQ(0u, CProgramCopy::WaitExit(&process));
    std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(m_program.Folder(), "7-Zip32.dll"), "SevenZip");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(0u, calls[0].line.find("a -tzip "));
    EXPECT_NE(std::string::npos, calls[0].line.find("\"" + m_data / "docs.zip" + "\""));
}

TEST_F(SettingsModeProcess, SevenZipPageChangedThenOk_NextArchiveUsesTheNewOptions)
{
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "DefaultArcType=7Z", "CmpEndExit=true"}));

    bool changed = false;
    CWindowSnapshot shown;
    DWORD exitCode = RunProgram("", kSettingsTitle,
                         [&changed](HWND dialog) {
                             HWND page = FindPageWith(dialog, IDC_7Z_LEVEL, IDC_7Z_SFX_MODULE);
                             if (page == NULL)
                             {
                                 PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                                 return;
                             }
                             SendMessageA(GetDlgItem(page, IDC_7Z_LEVEL), CB_SETCURSEL, 3, 0);
                             SendMessageA(GetDlgItem(page, IDC_7Z_METHOD), CB_SETCURSEL, 4, 0);
                             SendMessageA(GetDlgItem(page, IDC_7Z_SFX_MODULE), CB_SETCURSEL, 2, 0);
                             SendMessageA(GetDlgItem(page, IDC_7Z_SOLID), BM_SETCHECK, BST_UNCHECKED, 0);
                             SendMessageA(GetDlgItem(page, IDC_7Z_HEADER_CRYPT), BM_SETCHECK, BST_CHECKED, 0);
                             changed = true;
                             PressButton(dialog, IDOK);
                         },
                         &shown);
    ASSERT_EQ(0u, exitCode);
    ASSERT_NE(nullptr, shown.hwnd);
    ASSERT_TRUE(changed);
    std::vector<std::string> section = SectionLines(AppDataIni(), "7-ZIP");
    ASSERT_EQ(15u, section.size());
    EXPECT_EQ("SevenZMode=9", section[4]);
    EXPECT_EQ("SevenZSolid=false", section[5]);
    EXPECT_EQ("SevenZHeaderCrypt=true", section[9]);
    EXPECT_EQ("SevenZAlgorithm=PPMd", section[10]);
    EXPECT_EQ("SevenZSfx=7zCon.sfx", section[11]);

    std::string input = m_data.WriteFile("report.txt", "r");
    exitCode = RunProgram("\"" + input + "\"", kCompressTitle, [](HWND dialog) { PressButton(dialog, IDC_COMPRESS); },
                   &shown);
    EXPECT_EQ(0u, exitCode);
    ASSERT_NE(nullptr, shown.hwnd);
    std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(m_program.Folder(), "7-Zip32.dll"), "SevenZip");
    ASSERT_EQ(1u, calls.size());
    std::string start = "a -t7z -mx=9 -ms=off -mf=on -mhc=on -mhcf=on -mhe=on -m0=PPMd \"" + m_data / "report.7z" +
                        "\" ";
    EXPECT_EQ(start, calls[0].line.substr(0, start.size())) << calls[0].line;
}
