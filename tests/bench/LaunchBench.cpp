// (b) Tessik's own work around the archiver call: the real program in quick
// start with exit after compression, against the 7-Zip32 stand-in (which
// returns at once), from process start to exit, against the host's 7zz
// archiving the same tree (timed by the script, handed in).
// (c) Start-up to the compress dialog shown, against a trivial program that
// shows one dialog.
//
//   bench_launch <folder> <7zz seconds>
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

const int kRuns = 3;
const DWORD kTimeoutMs = 60000;
const char kCompressTitle[] = "圧縮  - Tessik";
const char kTrivialTitle[] = "Trivial dialog";

std::string SettingsPath()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_APPDATA, TRUE);
    return std::string(path) + "\\Norvane\\Tessik\\tessik.ini";
}

void WriteSettings(const std::string& path, bool quickStart)
{
    SHCreateDirectoryExA(NULL, path.substr(0, path.rfind('\\')).c_str(), NULL);
    WriteFileBytes(path, std::string("[GENERAL]\r\nVersion=100\r\nDefaultArcType=7Z\r\nQuickStart=") +
                             (quickStart ? "true" : "false") + "\r\nCmpEndExit=true\r\n");
    CAppSetting setting;
    setting.FilterSw = true;
    setting.FilterLists.push_back(MakeBenchList());
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    SaveFilterSettings(ini, setting);
    CIniFile::FlushProfileCache(path.c_str());
}

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
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seconds;
}

double BestToWindow(const std::string& exe, const std::string& arguments, const char* title)
{
    double best = -1;
    for (int run = 0; run < kRuns; ++run)
    {
        double seconds = TimeToWindow(exe, arguments, title);
        if (seconds < 0)
        {
            fprintf(stderr, "%s: no window \"%s\"\n", exe.c_str(), title);
            exit(1);
        }
        if (best < 0 || seconds < best)
            best = seconds;
    }
    return best;
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

// Files in the list files the stand-in saw in its last call.
size_t ListedByLastCall(const std::string& folder)
{
    std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(folder, "7-Zip32.dll"), "SevenZip");
    size_t lines = 0;
    if (!calls.empty())
        for (const CStandInList& list : calls.back().lists)
            for (size_t at = list.bytes.find('\n'); at != std::string::npos; at = list.bytes.find('\n', at + 1))
                ++lines;
    return lines;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        fprintf(stderr, "usage: bench_launch <folder> <7zz seconds>\n");
        return 2;
    }
    std::string tree = EnsureBenchTree(argv[1]);
    double sevenZip = atof(argv[2]);

    CTestFolder program;
    std::string exe = program / "tessik.exe";
    CopyFileA((TestExeFolder() + "\\tessik.exe").c_str(), exe.c_str(), FALSE);
    InstallStandIns(program.Path(), {"7-Zip32.dll"});
    WriteStandInScript(program.Path(), "7-Zip32.dll", "version=431\ncreate=archive\n");

    std::string settings = SettingsPath();
    std::string aside = settings + ".bench-aside";
    bool hadSettings = FileExists(settings);
    if (hadSettings)
        MoveFileA(settings.c_str(), aside.c_str());

    std::string archive = tree + ".7z";
    double quick = -1;
    for (int run = 0; run < kRuns; ++run)
    {
        WriteSettings(settings, true);
        double seconds = TimeQuickStart(exe, tree, archive);
        if (seconds < 0)
        {
            fprintf(stderr, "the quick-start run failed\n");
            quick = -1;
            break;
        }
        if (quick < 0 || seconds < quick)
            quick = seconds;
    }
    size_t listed = ListedByLastCall(program.Path());
    DeleteFileA(archive.c_str());

    WriteSettings(settings, false);
    double dialog = BestToWindow(exe, "\"" + tree + "\"", kCompressTitle);
    double trivial = BestToWindow(TestExeFolder() + "\\bench_trivial_dialog.exe", "", kTrivialTitle);

    DeleteFileA(settings.c_str());
    if (hadSettings)
        MoveFileA(aside.c_str(), settings.c_str());

    if (quick < 0 || listed == 0 || listed >= static_cast<size_t>(kBenchFileCount))
    {
        fprintf(stderr, "quick start: %.3f s, %u files listed: not a filtered run\n", quick,
                static_cast<unsigned>(listed));
        return 1;
    }
    fprintf(stderr, "quick start, whole run: %.3f s, %u files in the list files\n", quick,
            static_cast<unsigned>(listed));
    PrintBenchRow("(b) tessik quick start (whole run) vs 7zz a -mx=0", FormatSeconds(quick), FormatSeconds(sevenZip),
                  quick / sevenZip, 0.10, true);
    PrintBenchRow("(c) start-up to compress dialog vs trivial dialog", FormatSeconds(dialog), FormatSeconds(trivial),
                  dialog / trivial, 1.5, true);
    return 0;
}
