// The program itself: settings mode, a change on the 7z page, OK; then compress
// mode makes its next archive with the changed options.
#include "resources/resource.h"
#include "settings/IniFile.h"
#include "tests/app/ProgramCopy.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/UiHelper.h"
#include "tests/ui/SettingsDialogDriver.h"

#include <gtest/gtest.h>

namespace {

const char kSettingsTitle[] = "設定  - Tessik";
const char kCompressTitle[] = "圧縮  - Tessik";
const DWORD kDialogTimeoutMs = 30000;

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

    DWORD Run(const std::string& arguments, const char* title, CWindowResponder::Action answer,
              CWindowSnapshot* shown)
    {
        PROCESS_INFORMATION process = {};
        if (!m_program.Start(arguments, m_data.Path(), &process))
            return 98;
        CWindowResponder window(title, answer, kDialogTimeoutMs, process.dwProcessId);
        *shown = window.Result();
        return CProgramCopy::WaitExit(&process);
    }

    CProgramCopy m_program;
    CTestFolder m_data;
};

}  // namespace

TEST_F(SettingsModeProcess, SevenZipPageChangedThenOk_NextArchiveUsesTheNewOptions)
{
    PlaceFile(AppDataIni(), CrLfLines({"[GENERAL]", "Version=100", "DefaultArcType=7Z", "CmpEndExit=true"}));

    bool changed = false;
    CWindowSnapshot shown;
    DWORD exitCode = Run("", kSettingsTitle,
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
    CIniFile::FlushProfileCache(AppDataIni().c_str());
    std::vector<std::string> section = SectionLines(AppDataIni(), "7-ZIP");
    ASSERT_EQ(15u, section.size());
    EXPECT_EQ("SevenZMode=9", section[4]);
    EXPECT_EQ("SevenZSolid=false", section[5]);
    EXPECT_EQ("SevenZHeaderCrypt=true", section[9]);
    EXPECT_EQ("SevenZAlgorithm=PPMd", section[10]);
    EXPECT_EQ("SevenZSfx=7zCon.sfx", section[11]);

    std::string input = m_data.WriteFile("report.txt", "r");
    exitCode = Run("\"" + input + "\"", kCompressTitle, [](HWND dialog) { PressButton(dialog, IDC_COMPRESS); },
                   &shown);
    EXPECT_EQ(0u, exitCode);
    ASSERT_NE(nullptr, shown.hwnd);
    std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(m_program.Folder(), "7-Zip32.dll"), "SevenZip");
    ASSERT_EQ(1u, calls.size());
    std::string start = "a -t7z -mx=9 -ms=off -mf=on -mhc=on -mhcf=on -mhe=on -m0=PPMd \"" + m_data / "report.7z" +
                        "\" ";
    EXPECT_EQ(start, calls[0].line.substr(0, start.size())) << calls[0].line;
}
