// The parts of the start-up to the compress dialog, each timed on its own in
// this process (median of kBenchRuns): a process start and exit, the settings
// read, the archiver DLL probes (with how often each DLL was mapped), the
// path-completion set-up and the dialog's creation from its template. Then
// the settings read of 100 and 200 filter lists against none.
//
//   bench_startup
//
// Moves the user's settings file aside meanwhile and puts it back.

#include "job/JobRun.h"
#include "app/Startup.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"
#include "settings/SettingsFile.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/FilterJob.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"
#include "ui/framework/PathCompletion.h"

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winternl.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The loader's notification of a mapped DLL (ntdll, no import library).
struct CDllNotification
{
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    PVOID base;
    ULONG size;
};
typedef VOID(CALLBACK* DllNotificationCallback)(ULONG reason, const CDllNotification* data, PVOID context);
typedef LONG(NTAPI* RegisterDllNotificationEntry)(ULONG, DllNotificationCallback, PVOID, PVOID*);
const ULONG kDllLoaded = 1;

std::map<std::wstring, int> g_mapped;

VOID CALLBACK CountMapped(ULONG reason, const CDllNotification* data, PVOID)
{
    if (reason == kDllLoaded && data != NULL && data->baseName != NULL)
        ++g_mapped[std::wstring(data->baseName->Buffer, data->baseName->Length / sizeof(wchar_t))];
}

bool WatchDllLoads()
{
    RegisterDllNotificationEntry entry = reinterpret_cast<RegisterDllNotificationEntry>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrRegisterDllNotification"));
    PVOID cookie = NULL;
    return entry != NULL && entry(0, CountMapped, NULL, &cookie) == 0;
}

std::vector<double> TimeLoadSettings()
{
    std::vector<double> samples;
    for (int run = 0; run < kBenchRuns; ++run)
    {
        g_appSetting = CAppSetting();
        LONGLONG start = BenchNow();
        LoadSettings();
        samples.push_back(BenchSecondsSince(start));
    }
    return samples;
}

// A process of the program (in the test programs' folder) from start to exit.
std::vector<double> TimeProcessStart(const char* program = "bench_trivial_dialog.exe")
{
    std::string exe = TestExeFolder() + "\\" + program;
    std::vector<double> samples;
    for (int run = 0; run < kBenchRuns; ++run)
    {
        std::string commandLine = "\"" + exe + "\" exit";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        SettleBeforeStart();
        LONGLONG start = BenchNow();
        if (!CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            return samples;
        WaitForSingleObject(process.hProcess, INFINITE);
        samples.push_back(BenchSecondsSince(start));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return samples;
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

std::vector<double> TimeDialogCreation()
{
    std::vector<double> samples;
    for (int run = 0; run < kBenchRuns; ++run)
    {
        LONGLONG start = BenchNow();
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_COMPRESS), NULL, QuietProc, 0);
        if (dialog == NULL)
            return samples;
        ShowWindow(dialog, SW_SHOW);
        UpdateWindow(dialog);
        samples.push_back(BenchSecondsSince(start));
        DestroyWindow(dialog);
    }
    return samples;
}

// The first set-up in the process is the one start-up pays.
double TimeCompletionSetUp()
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, NULL, NULL, NULL, NULL);
    LONGLONG start = BenchNow();
    {
        CPathCompletion completion;
        completion.InitializeCom();
        completion.Enable(edit, SHACF_FILESYSTEM);
        double seconds = BenchSecondsSince(start);
        DestroyWindow(edit);
        return seconds;
    }
}

template <class TPart>
std::vector<double> TimeRuns(TPart part)
{
    std::vector<double> samples;
    for (int run = 0; run < kBenchRuns; ++run)
    {
        LONGLONG start = BenchNow();
        if (!part())
            return std::vector<double>();
        samples.push_back(BenchSecondsSince(start));
    }
    return samples;
}

// The parts of a quick-start run on the tree, as "part" rows into *rows. The stand-in
// 7-Zip32.dll returns at once, so the job's time over the walk is Tessik's
// own work around the archiver call.
bool MeasureQuickStartParts(const std::string& root, const std::string& scratch, std::string* rows)
{
    std::string tree = EnsureBenchTree(root);
    std::wstring wideTree(tree.begin(), tree.end());
    std::vector<double> bare = TimeRuns([&]() { return CountFastestEnumeration(wideTree) == kBenchFileCount; });
    std::vector<double> walk = TimeRuns([&]() {
        CCompressJob job = MakeFilterJob(0, scratch + "\\walk.7z", MakeBenchList().Definitions, kFilterActExclude);
        CScriptedJobCallback callback;
        bool listed = BuildFileList(&job, {AnsiToWide(tree)}, callback) == 0;
        FindFormat(0)->Cleanup();
        return listed;
    });
    std::vector<double> job = TimeRuns([&]() {
        std::string archive = scratch + "\\quick.7z";
        DeleteFileA(archive.c_str());
        CCompressJob job = MakeFilterJob(0, archive, MakeBenchList().Definitions, kFilterActExclude);
        CScriptedJobCallback callback;
        int result = RunJob(&job, {AnsiToWide(tree)}, callback);
        if (result != 0)
            fprintf(stderr, "the job ended with %d\n", result);
        return result == 0;
    });
    std::vector<double> save = TimeRuns([]() {
        std::string file;
        return SaveSettings(&file);
    });
    if (bare.empty() || walk.empty() || job.empty() || save.empty())
    {
        fprintf(stderr, "quick-start parts measured: enumeration %d, walk %d, job %d, save %d\n", !bare.empty(),
                !walk.empty(), !job.empty(), !save.empty());
        return false;
    }
    *rows = "part\tquick start: bare enumeration of the 50,000 files (FindFirstFileExW, the floor of a walk)\t" +
            FormatMedian(bare) + "\n" + "part\tquick start: walk, 20-definition filter and list files\t" +
            FormatMedian(walk) + "\n" +
            "part\tquick start: the whole job with the archiver call (stand-in returns at once)\t" +
            FormatMedian(job) + "\n" + "part\tquick start: settings save (1 list)\t" + FormatMedian(save) + "\n";
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    bool watching = WatchDllLoads();
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    CTestFolder dlls;
    InstallStandIns(dlls.Path(), {"7-Zip32.dll", "7z.sfx", "7zC.sfx", "7zCon.sfx", "Cab32.dll", "Unlha32.dll",
                                  "Zip32j.dll", "zip32.dll"});
    // It makes the archive named on its command line, as a job needs.
    WriteStandInScript(dlls.Path(), "7-Zip32.dll", "version=431\ncreate=archive\n");
    SetDllDirectoryA(dlls.Path().c_str());

    std::string settings = BenchSettingsPath();
    std::string aside = settings + ".bench-aside";
    bool hadSettings = FileExists(settings);
    if (hadSettings)
        MoveFileA(settings.c_str(), aside.c_str());

    std::vector<double> processStart = TimeProcessStart();
    std::vector<double> importsStart = TimeProcessStart("bench_imports.exe");

    g_mapped.clear();
    std::vector<double> probes;
    for (int run = 0; run < kBenchRuns; ++run)
    {
        LONGLONG start = BenchNow();
        RegisterAllFormats();
        probes.push_back(BenchSecondsSince(start));
    }
    std::string mapped;
    for (const char* name : {"7-Zip32.dll", "Cab32.dll", "Unlha32.dll", "Zip32j.dll", "zip32.dll"})
    {
        std::wstring wide(name, name + strlen(name));
        char part[64];
        snprintf(part, sizeof(part), "%s%s %d", mapped.empty() ? "" : ", ", name, g_mapped[wide] / kBenchRuns);
        mapped += part;
    }
    BindFormatsToSettings();

    WriteBenchSettings(settings, "", 1);
    std::vector<double> read1 = TimeLoadSettings();
    WriteBenchSettings(settings, "", 0);
    std::vector<double> read0 = TimeLoadSettings();
    WriteBenchSettings(settings, "", 100);
    std::vector<double> read100 = TimeLoadSettings();
    WriteBenchSettings(settings, "", 200);
    std::vector<double> read200 = TimeLoadSettings();

    double completion = TimeCompletionSetUp();
    std::vector<double> dialog = TimeDialogCreation();

    WriteBenchSettings(settings, "", 1);
    LoadSettings();
    std::string quickParts;
    bool quickMeasured = argc < 2 || MeasureQuickStartParts(argv[1], dlls.Path(), &quickParts);

    DestroyAllFormats();
    DeleteFileA(settings.c_str());
    if (hadSettings)
        MoveFileA(aside.c_str(), settings.c_str());
    if (processStart.empty() || importsStart.empty() || dialog.empty() || !quickMeasured)
    {
        fprintf(stderr, "a part could not be measured\n");
        return 1;
    }

    fprintf(stderr, "DLL mappings per probe round: %s%s\n", mapped.c_str(),
            watching ? "" : " (the loader's notification is missing: not counted)");
    printf("part\tprocess start and exit (bare program)\t%s\n", FormatMedian(processStart).c_str());
    printf("part\tprocess start and exit linked as the main program (comctl32 mapped at start; shell32, ole32, "
           "comdlg32 delay-loaded)\t%s\n",
           FormatMedian(importsStart).c_str());
    printf("part\tsettings read (1 list)\t%s\n", FormatMedian(read1).c_str());
    printf("part\tDLL probes of 9 builders, maps per DLL: %s\t%s\n", mapped.c_str(), FormatMedian(probes).c_str());
    printf("part\tpath completion and COM set-up (first in process)\t%.3f s\n", completion);
    printf("part\tcompress dialog created and shown from its template\t%s\n", FormatMedian(dialog).c_str());
    printf("part\tsettings read, 0 / 100 / 200 lists x 20\t%.3f s / %.3f s / %.3f s\n", Median(read0),
           Median(read100), Median(read200));
    fputs(quickParts.c_str(), stdout);
    double cost100 = Median(read100) - Median(read0);
    double cost200 = Median(read200) - Median(read0);
    PrintBenchRow("(e) LoadSettings growth: 200 lists vs 100 lists (cost over none)", FormatSeconds(cost200),
                  FormatSeconds(cost100), cost100 > 0 ? cost200 / cost100 : 0, 2.5, true);
    fflush(stdout);
    return 0;
}
