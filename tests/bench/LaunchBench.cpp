// (c) Start-up to the compress dialog shown, against a trivial program that
// shows one dialog (both carry the same manifest); beside it, the compress
// dialog's template shown by a program linked with the same system DLLs that
// does nothing else (the floor), and Tessik's own work over that floor. The
// program starts as the release zip ships it: tessik.exe and TessikZip.dll,
// no other archiver DLL.
// (e) The settings read in whole runs: quick start on a one-file tree with a
// settings file of 0, 100 and 200 filter lists of 20 definitions (a stand-in
// 7-Zip32.dll that returns at once does the archiver's part).
// Each figure is the median of kBenchRuns runs.
//
//   bench_launch <folder>
//
// Moves the user's settings file aside meanwhile and puts it back.

#include "common/PathUtil.h"
#include "settings/AppSetting.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

const DWORD kTimeoutMs = 60000;
const char kCompressTitle[] = "圧縮  - Tessik";
const char kTrivialTitle[] = "Trivial dialog";
const char kQuickStartKeys[] = "QuickStart=true\r\nCmpEndExit=true\r\n";

bool Start(const std::string& exe, const std::string& arguments, PROCESS_INFORMATION* process)
{
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, process) !=
           FALSE;
}

struct CSearch
{
    const char* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    CSearch* search = reinterpret_cast<CSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[256] = "";
    if (owner == search->processId && IsWindowVisible(window) && GetWindowTextA(window, title, sizeof(title)) > 0 &&
        strcmp(title, search->title) == 0)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Seconds from process start to its window with this title shown; the process
// is ended then (it is ours). Negative when the window never came.
double TimeToWindow(const std::string& exe, const std::string& arguments, const char* title)
{
    PROCESS_INFORMATION process = {};
    SettleBeforeStart();
    LONGLONG start = BenchNow();
    if (!Start(exe, arguments, &process))
        return -1;
    CSearch search = {title, process.dwProcessId, NULL};
    double seconds = -1;
    while (BenchSecondsSince(start) < kTimeoutMs / 1000.0)
    {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != NULL)
        {
            seconds = BenchSecondsSince(start);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 2) == WAIT_OBJECT_0)
            break;
    }
    // Closed as a user closes it: a process ended from outside leaves work
    // behind that slows the next start.
    if (search.found == NULL || !PostMessageA(search.found, WM_CLOSE, 0, 0) ||
        WaitForSingleObject(process.hProcess, kTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seconds;
}

struct CWindowRun
{
    std::string exe;
    std::string arguments;
    const char* title;
    std::vector<double> samples;
};

// The programs are started in turn, one of each per round, so that the load
// of the machine, which drifts over a run, weighs on each of them alike.
void TimeToWindowInTurn(std::vector<CWindowRun>* programs)
{
    for (int run = 0; run < kBenchRuns; ++run)
    {
        for (CWindowRun& program : *programs)
        {
            double seconds = TimeToWindow(program.exe, program.arguments, program.title);
            if (seconds < 0)
            {
                fprintf(stderr, "%s: no window \"%s\"\n", program.exe.c_str(), program.title);
                exit(1);
            }
            program.samples.push_back(seconds);
        }
    }
}

// Seconds from start to exit of one quick-start run; the archive the stand-in
// made is removed, so that the next run asks nothing.
double TimeQuickStart(const std::string& exe, const std::string& tree, const std::string& archive)
{
    DeleteFileA(archive.c_str());
    PROCESS_INFORMATION process = {};
    LONGLONG start = BenchNow();
    if (!Start(exe, "\"" + tree + "\"", &process))
        return -1;
    DWORD waited = WaitForSingleObject(process.hProcess, kTimeoutMs);
    double seconds = BenchSecondsSince(start);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 && code == 0 ? seconds : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_launch <folder>\n");
        return 2;
    }
    std::string tree = EnsureBenchTree(argv[1]);

    // The program and its DLL as they are shipped (scripts/bench.sh strips
    // them into release\).
    std::string release = TestExeFolder() + "\\release\\";
    CTestFolder shipped;
    std::string shippedExe = shipped / "tessik.exe";
    CTestFolder program;
    std::string exe = program / "tessik.exe";
    if (!CopyFileA((release + "tessik.exe").c_str(), shippedExe.c_str(), FALSE) ||
        !CopyFileA((release + "TessikZip.dll").c_str(), (shipped / "TessikZip.dll").c_str(), FALSE) ||
        !CopyFileA((release + "tessik.exe").c_str(), exe.c_str(), FALSE))
    {
        fprintf(stderr, "no release\\tessik.exe and TessikZip.dll beside the benchmarks: run them through "
                        "scripts/bench.sh\n");
        return 2;
    }
    InstallStandIns(program.Path(), {"7-Zip32.dll"});
    WriteStandInScript(program.Path(), "7-Zip32.dll", "version=431\ncreate=archive\n");

    std::string settings = BenchSettingsPath();
    std::string aside = settings + ".bench-aside";
    bool hadSettings = FileExists(settings);
    if (hadSettings)
        MoveFileA(settings.c_str(), aside.c_str());

    // The same run on one file: what is left is start-up, the settings read
    // and save, and the archiver call; the lists' share shows directly.
    std::string small = program.MakeFolder("small");
    WriteFileBytes(small + "\\one.txt", "x");
    const int kListCounts[] = {0, 100, 200};
    std::vector<double> listRuns[3];
    for (int c = 0; c < 3; ++c)
    {
        for (int run = 0; run < kBenchRuns; ++run)
        {
            WriteBenchSettings(settings, kQuickStartKeys, kListCounts[c]);
            double seconds = TimeQuickStart(exe, small, small + ".7z");
            if (seconds < 0)
            {
                fprintf(stderr, "the quick-start run with %d lists failed\n", kListCounts[c]);
                return 1;
            }
            listRuns[c].push_back(seconds);
        }
    }
    DeleteFileA((small + ".7z").c_str());

    WriteBenchSettings(settings, "QuickStart=false\r\nCmpEndExit=true\r\n", 1, "TZIP");
    // The same template with Tessik's imports and nothing else is the floor.
    std::vector<CWindowRun> programs = {
        {shippedExe, "\"" + tree + "\"", kCompressTitle, {}},
        {TestExeFolder() + "\\bench_trivial_dialog.exe", "", kTrivialTitle, {}},
        {TestExeFolder() + "\\bench_imports.exe", "dialog " + shippedExe, kCompressTitle, {}},
    };
    TimeToWindowInTurn(&programs);
    const std::vector<double>& dialogRuns = programs[0].samples;
    const std::vector<double>& trivialRuns = programs[1].samples;
    const std::vector<double>& templateRuns = programs[2].samples;
    double dialog = Median(dialogRuns);
    double trivial = Median(trivialRuns);

    DeleteFileA(settings.c_str());
    if (hadSettings)
        MoveFileA(aside.c_str(), settings.c_str());

    double floor = Median(templateRuns);
    PrintBenchRow("(c) start-up to compress dialog vs trivial dialog", FormatMedian(dialogRuns),
                  FormatMedian(trivialRuns), dialog / trivial, 1.5, true);
    PrintBenchRow("(c) start-up to compress dialog minus the floor (its template with the same DLLs; ratio "
                  "column: seconds)",
                  FormatMedian(dialogRuns), FormatMedian(templateRuns), dialog - floor, 0.010, true);
    printf("part\tthe compress dialog's template shown with the main program's DLLs and nothing else (the "
           "floor of the start-up): %.2f x the trivial dialog\t%s\n",
           floor / trivial, FormatMedian(templateRuns).c_str());
    double none = Median(listRuns[0]);
    PrintBenchRow("(e) quick start on 1 file, 100 lists x 20 minus none (ratio column: seconds)",
                  FormatMedian(listRuns[1]), FormatMedian(listRuns[0]), Median(listRuns[1]) - none, 0.30, true);
    PrintBenchRow("(e) quick start on 1 file, 200 lists x 20 minus none (ratio column: seconds)",
                  FormatMedian(listRuns[2]), FormatMedian(listRuns[0]), Median(listRuns[2]) - none, 0.60, true);
    return 0;
}
