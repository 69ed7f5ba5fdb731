// The settings save at the end of a run as the user meets it: a save that
// cannot write a section keeps the old file and says so; instances that end
// together all save, one after the other.
#include "app/Startup.h"
#include "settings/AppSetting.h"
#include "tests/app/JobFixture.h"
#include "tests/app/ProgramCopy.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Every key a save writes, in its order and form, so that a save of this file
// writes it back byte for byte. Quick start with exit after compression, in 7z.
const std::vector<std::string> kQuickStartFile = {
    "[GENERAL]", "Version=100", "WindowPos=40,50", "DefaultArcType=7Z", "CmpTypeDefault=false",
    "OverWriteAction=0", "QuickStart=true", "CmpEndExit=true", "AllwaysResult=false", "OutFolderOpen=false",
    "OutFolder=", "OutFolderSw=false", "AutoComplete=true",
    "[FILTER]", "FilterSw=false", "ProfileNum=1",
    "[FILTER_0]", "FilterNum=1", "Title=画像を除く", "Comment=写真と図", "ActType=0",
    "Filter0_Type=0", "Filter0_Filter=.jpg", "Filter0_AlphabetBS=false", "Filter0_Regex=false", "Filter0_Comment=JPEG",
    "[ARCHIVE]", "StatusDialog=false",
    "[7-ZIP]", "SevenZipMode=9", "SevenZipAlgorithm=Deflate64", "SevenZipFastBytes=128", "SevenZipPasses=3",
    "SevenZMode=7", "SevenZSolid=false", "SevenZFilter=false", "SevenZHeaderComp=false", "SevenZHeaderCompFull=false",
    "SevenZHeaderCrypt=true", "SevenZAlgorithm=PPMd", "SevenZSfx=7zC.sfx", "SevenZCompCommandUse=false",
    "SevenZCompCommand=-mx=9", "Use=true",
    "[CAB]", "CabMode=2", "LzxLevel=21", "MultiVolume=true", "MultiVolumeSize=1440", "Use=false",
    "[LHA]", "LhaMode=1", "SfxMode=3", "SfxSetup=true", "Use=true",
    "[ZIP]", "ZipMode=9", "Crlf2Lf=true", "Lf2Crlf=true", "Use=true",
};

// Visible top-level windows of a set of processes, each recorded once and closed.
struct CProcessWindows
{
    std::vector<DWORD> processIds;
    std::vector<HWND> handled;
    std::vector<std::string> seen;  // title and message text
};

BOOL CALLBACK RecordAndCloseWindow(HWND window, LPARAM data)
{
    CProcessWindows* windows = reinterpret_cast<CProcessWindows*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (!IsWindowVisible(window) ||
        std::find(windows->processIds.begin(), windows->processIds.end(), processId) == windows->processIds.end() ||
        std::find(windows->handled.begin(), windows->handled.end(), window) != windows->handled.end())
        return TRUE;
    CWindowSnapshot shown = SnapshotWindow(window);
    windows->handled.push_back(window);
    windows->seen.push_back(shown.title + ": " + shown.MessageText());
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

class SettingsSave : public SettingsFileTest
{
};

TEST_F(SettingsSave, SectionThatCannotBeWrittenKeepsTheOldFileAndSaysSo)
{
    const std::string current = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=1,1", "[7-ZIP]", "SevenZMode=9"});
    const std::string oldLayout = CrLfLines({"[tessik v0.02]", "WindowPos = 5,6", "[lha]", "Mode=2"});
    const struct
    {
        const char* name;
        const std::string& old;
        int loadedVersion;
        const char* failingSection;
    } rows[] = {
        {"first format section, current layout", current, 100, "7-ZIP"},
        // The old layout is not merged: a section missing from the new file
        // would be lost.
        {"a later format section, old layout", oldLayout, 2, "LHA"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CFakeFormats formats;
        formats.failingSection = row.failingSection;
        PlaceFile(AppDataIni(), row.old);
        g_loadedLayoutVersion = row.loadedVersion;
        g_appSetting.WindowLeft = 77;

        CDialogScript script({Press(kErrorBox, IDOK)});
        SaveSettingsOrReport();
        const std::vector<CDialogScript::CSeen>& seen = script.Finish();

        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(nullptr, seen[0].owner);
        EXPECT_EQ("設定ファイル「" + AppDataIni() + "」に書き込めませんでした。\n変更した設定は保存されていません。",
                  seen[0].window.MessageText());
        EXPECT_EQ(row.old, ReadFileBytes(AppDataIni()));
        EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
    }
}

TEST_F(SettingsSave, EightQuickStartJobsStartedTogetherAllSaveTheWholeFile)
{
    const int kJobs = 8;
    CProgramCopy program;
    InstallStandIns(program.Folder(), kAllStandIns);
    WriteStandInScript(program.Folder(), "7-Zip32.dll", "version=431\ncreate=archive\n");
    const std::string settings = CrLfLines(kQuickStartFile);
    PlaceFile(AppDataIni(), settings);
    CTestFolder data;

    // Started one right after the other, as the file manager starts them for
    // a quick run of selections: one instance loads or saves while another saves.
    for (int i = 0; i < kJobs; ++i)
        data.WriteFile("job" + std::to_string(i) + "\\a.txt", "a");
    std::vector<PROCESS_INFORMATION> processes(kJobs);
    CProcessWindows windows;
    for (int i = 0; i < kJobs; ++i)
    {
        ASSERT_TRUE(program.Start("\"" + data / ("job" + std::to_string(i)) + "\"", data.Path(), &processes[i]));
        windows.processIds.push_back(processes[i].dwProcessId);
    }
    std::vector<HANDLE> handles;
    for (const PROCESS_INFORMATION& process : processes)
        handles.push_back(process.hProcess);
    DWORD start = GetTickCount();
    while (WaitForMultipleObjects(kJobs, handles.data(), TRUE, 50) == WAIT_TIMEOUT && GetTickCount() - start < 120000)
        EnumWindows(RecordAndCloseWindow, reinterpret_cast<LPARAM>(&windows));

    for (int i = 0; i < kJobs; ++i)
    {
        EXPECT_EQ(0u, CProgramCopy::WaitExit(&processes[i])) << i;
        EXPECT_TRUE(FileExists(data / ("job" + std::to_string(i) + ".7z"))) << i;
    }
    EXPECT_EQ(std::vector<std::string>(), windows.seen);
    EXPECT_EQ(settings, ReadFileBytes(AppDataIni()));
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
}
