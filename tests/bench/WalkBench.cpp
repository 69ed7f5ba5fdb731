// (a) The job's walk, filter and list writing (BuildFileList with a
// 20-definition list, into the 7z builder's list files) against the fastest
// bare enumeration of the same tree the platform offers (FindFirstFileExW,
// basic information, large fetches), and beside it against the ANSI one
// (under Wine the ANSI functions call the wide ones, so it is no limit).
//
//   bench_walk <folder>          the tree is made there once and reused
//   bench_walk <folder> --growth the walk of 50,000 and of 500,000 files, each
//                                in a process of its own: time and peak
//                                memory per file, and how both grow; the
//                                time also with the list following .gitignore
//                                files
//   bench_walk <folder> --gitignore  the walk with the list following the
//                                .gitignore files (20 rules at the top, 5 in
//                                every tenth folder, written for the timing
//                                and removed after) against the same walk
//                                without
//
// Diagnostics (the walk with filters off, the decisions alone) go to stderr:
// they say what a gap is made of.

#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "settings/CompressJob.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

const int kRounds = kBenchRuns;

CCompressJob MakeJob(bool filterSw, bool gitIgnore = false)
{
    CCompressJob job;
    job.Setting.DefaultArcType = 0;  // 7z
    job.Setting.FilterSw = filterSw;
    job.Setting.FilterLists.push_back(MakeBenchList());
    job.Setting.FilterLists.back().GitIgnore = gitIgnore;
    job.FilterListIndex = 0;
    return job;
}

// Rules as projects write them, none of which matches a name of the tree:
// both walks then list the same files, and the difference is the rules' cost.
const char kTopRules[] =
    "# build output\nnode_modules/\nbuild/\ndist/\n/coverage/\n*.o\n*.py[co]\n__pycache__/\n*.class\ntarget/\n"
    "*.swp\n*~\n.DS_Store\n[Tt]humbs.db\n**/logs/*.log\n.idea/\n*.egg-info/\nnpm-debug.log*\n/out/\n!.keep\n"
    "*.min.js\n";
const char kFolderRules[] = "*.orig\ncache/\n!keep.me\n/gen/**\ntmp[0-9]*/\n";

// The .gitignore files of the timing: at the top and in every tenth folder
// (in the order the tree was made); removed by the destructor.
class CBenchIgnoreFiles
{
public:
    explicit CBenchIgnoreFiles(const std::string& tree)
    {
        Write(tree, kTopRules);
        int folder = 0;
        for (int top = 0; top < kBenchTopFolders; ++top)
        {
            std::string topFolder = tree + "\\dir" + (top < 10 ? "0" : "") + std::to_string(top);
            if (++folder % 10 == 0)
                Write(topFolder, kFolderRules);
            for (int sub = 0; sub < kBenchSubFolders; ++sub)
                if (++folder % 10 == 0)
                    Write(topFolder + "\\sub" + (sub < 10 ? "0" : "") + std::to_string(sub), kFolderRules);
        }
    }
    ~CBenchIgnoreFiles()
    {
        for (const std::string& path : m_paths)
            DeleteFileA(path.c_str());
    }
    size_t Count() const { return m_paths.size(); }

private:
    void Write(const std::string& folder, const char* rules)
    {
        m_paths.push_back(folder + "\\.gitignore");
        WriteFileBytes(m_paths.back(), rules);
    }
    std::vector<std::string> m_paths;
};

int CountBare(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
                count += CountBare(folder + "\\" + found.cFileName);
        }
        else
        {
            ++count;
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return count;
}

int CountListedFiles(const CArc7Zip& arc)
{
    int count = 0;
    for (const auto& entry : arc.ListFiles())
    {
        std::string bytes = ReadFileBytes(entry.second);
        for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
            ++count;
    }
    return count;
}

// Median of rounds; *taken gets the files in the list files.
double TimeWalk(CArc7Zip* arc, bool filterSw, int* taken, bool gitIgnore = false, int rounds = kRounds)
{
    std::vector<double> samples;
    for (int round = 0; round < rounds; ++round)
    {
        CCompressJob job = MakeJob(filterSw, gitIgnore);
        LONGLONG start = BenchNow();
        int result = BuildDialogFileList(NULL, &job);
        double seconds = BenchSecondsSince(start);
        *taken = CountListedFiles(*arc);
        arc->Cleanup();
        if (result != 0)
        {
            fprintf(stderr, "the walk ended with %d\n", result);
            exit(1);
        }
        samples.push_back(seconds);
    }
    return Median(samples);
}

template <class TCount>
double TimeCount(TCount count, int* files)
{
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round)
    {
        LONGLONG start = BenchNow();
        *files = count();
        samples.push_back(BenchSecondsSince(start));
    }
    return Median(samples);
}

double DecisionsPerSecond(const std::string& tree)
{
    std::vector<std::string> names;
    for (int i = 0; i < kBenchFileCount; ++i)
        names.push_back("report" + std::to_string(i % 100) + (i % 3 ? ".txt" : ".bak"));
    CCompressJob job = MakeJob(true);
    CompileFilterList(&job);
    LONGLONG start = BenchNow();
    int taken = 0;
    for (const std::string& name : names)
        taken += IsTargetFile(name.c_str(), kTargetFile);
    double seconds = BenchSecondsSince(start);
    ClearCompiledFilters();
    return taken >= 0 && seconds > 0 ? names.size() / seconds : 0;
}

// The 7z builder writes the list files; its stand-in DLL (installed in dlls)
// only has to bind. NULL when the format is not available.
CArc7Zip* RegisterSevenZipBuilder(const CTestFolder& dlls)
{
    InstallStandIns(dlls.Path(), {"7-Zip32.dll"});
    SetDllDirectoryA(dlls.Path().c_str());
    RegisterAllFormats();
    CArc7Zip* arc = dynamic_cast<CArc7Zip*>(FindFormat(0));
    if (!arc)
        fprintf(stderr, "the 7z format is not available\n");
    return arc;
}

// One walk with the filters on, in this process: the seconds, the growth of
// the peak working set over the walk, and the files walked, written to
// result as "seconds bytes files".
int WalkOnce(const std::string& tree, const std::string& result, bool gitIgnore)
{
    CTestFolder dlls;
    CArc7Zip* arc = RegisterSevenZipBuilder(dlls);
    if (!arc)
        return 1;
    g_testInputs = {tree};
    CCompressJob job = MakeJob(true, gitIgnore);
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof(before);
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    LONGLONG start = BenchNow();
    int walked = BuildDialogFileList(NULL, &job);
    double seconds = BenchSecondsSince(start);
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof(after);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    int taken = CountListedFiles(*arc);
    arc->Cleanup();
    DestroyAllFormats();
    if (walked != 0 || taken <= 0)
        return 1;
    char line[128];
    snprintf(line, sizeof(line), "%.6f %llu %d", seconds,
             static_cast<unsigned long long>(after.PeakWorkingSetSize - before.WorkingSetSize), taken);
    WriteFileBytes(result, line);
    return 0;
}

struct CGrowthSample
{
    double seconds;
    double bytes;
};

// Runs WalkOnce in a new process of this program (kRounds times); medians.
bool TimeWalkInOwnProcess(const std::string& tree, CGrowthSample* sample, bool gitIgnore = false)
{
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(NULL, exe, sizeof(exe));
    CTestFolder scratch;
    std::string result = scratch.Path() + "\\walk.txt";
    std::vector<double> seconds, bytes;
    for (int round = 0; round < kRounds; ++round)
    {
        std::string commandLine = std::string("\"") + exe + "\" \"" + tree + "\" --once \"" + result + "\"" +
                                  (gitIgnore ? " --gitignore" : "");
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(exe, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            return false;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        double walkSeconds = 0;
        unsigned long long walkBytes = 0;
        int files = 0;
        if (code != 0 || sscanf(ReadFileBytes(result).c_str(), "%lf %llu %d", &walkSeconds, &walkBytes, &files) != 3)
            return false;
        seconds.push_back(walkSeconds);
        bytes.push_back(static_cast<double>(walkBytes));
    }
    sample->seconds = Median(seconds);
    sample->bytes = Median(bytes);
    return true;
}

// Time and peak memory per file of the walk at 50,000 and 500,000 files.
int RunGrowthRows(const std::string& root)
{
    std::string small = EnsureBenchTree(root);
    std::string huge = EnsureHugeBenchTree(root);
    CGrowthSample atSmall = {}, atHuge = {};
    if (!TimeWalkInOwnProcess(small, &atSmall) || !TimeWalkInOwnProcess(huge, &atHuge))
    {
        fprintf(stderr, "a walk in its own process failed\n");
        return 1;
    }
    double smallTime = atSmall.seconds / kBenchFileCount, hugeTime = atHuge.seconds / kHugeBenchFileCount;
    double smallBytes = atSmall.bytes / kBenchFileCount, hugeBytes = atHuge.bytes / kHugeBenchFileCount;
    fprintf(stderr, "walk of %d files: %.3f s, peak grew %.1f MB\n", kBenchFileCount, atSmall.seconds,
            atSmall.bytes / 1e6);
    fprintf(stderr, "walk of %d files: %.3f s, peak grew %.1f MB\n", kHugeBenchFileCount, atHuge.seconds,
            atHuge.bytes / 1e6);
    char measured[64], reference[64];
    snprintf(measured, sizeof(measured), "%.2f us/file (%.3f s)", hugeTime * 1e6, atHuge.seconds);
    snprintf(reference, sizeof(reference), "%.2f us/file (%.3f s)", smallTime * 1e6, atSmall.seconds);
    PrintBenchRow("(a) walk time per file, 500,000 vs 50,000 files", measured, reference, hugeTime / smallTime, 1.25,
                  true);
    snprintf(measured, sizeof(measured), "%.0f bytes/file", hugeBytes);
    snprintf(reference, sizeof(reference), "%.0f bytes/file", smallBytes);
    PrintBenchRow("(a) walk peak memory per file, 500,000 vs 50,000 files", measured, reference,
                  smallBytes > 0 ? hugeBytes / smallBytes : 0, 1.25, true);

    CGrowthSample ruledSmall = {}, ruledHuge = {};
    {
        CBenchIgnoreFiles smallRules(small), hugeRules(huge);
        if (!TimeWalkInOwnProcess(small, &ruledSmall, true) || !TimeWalkInOwnProcess(huge, &ruledHuge, true))
        {
            fprintf(stderr, "a walk following .gitignore files in its own process failed\n");
            return 1;
        }
    }
    smallTime = ruledSmall.seconds / kBenchFileCount;
    hugeTime = ruledHuge.seconds / kHugeBenchFileCount;
    snprintf(measured, sizeof(measured), "%.2f us/file (%.3f s)", hugeTime * 1e6, ruledHuge.seconds);
    snprintf(reference, sizeof(reference), "%.2f us/file (%.3f s)", smallTime * 1e6, ruledSmall.seconds);
    PrintBenchRow("(a) walk time per file following .gitignore files, 500,000 vs 50,000 files", measured, reference,
                  hugeTime / smallTime, 1.25, true);
    return 0;
}

// The walk with the list following the tree's .gitignore files against the
// same walk and list without; medians of alternate rounds.
int RunGitIgnoreRow(const std::string& root)
{
    std::string tree = EnsureBenchTree(root);
    CTestFolder dlls;
    CArc7Zip* arc = RegisterSevenZipBuilder(dlls);
    if (!arc)
        return 1;
    g_testInputs = {tree};
    std::vector<double> off, on;
    int takenOff = 0, takenOn = 0;
    {
        CBenchIgnoreFiles rules(tree);
        for (int round = 0; round < kRounds; ++round)
        {
            off.push_back(TimeWalk(arc, true, &takenOff, false, 1));
            on.push_back(TimeWalk(arc, true, &takenOn, true, 1));
        }
        fprintf(stderr, "%d .gitignore files; listed %d without the rules, %d with them\n",
                static_cast<int>(rules.Count()), takenOff, takenOn);
    }
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
    if (takenOn != takenOff || takenOn <= 0)
    {
        fprintf(stderr, "the rules were to leave out nothing\n");
        return 1;
    }
    PrintBenchRow("(a) walk following .gitignore files (20 rules, 5 per tenth folder) vs without",
                  FormatMedian(on), FormatMedian(off), Median(on) / Median(off), 1.25, true);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_walk <folder> [--growth | --gitignore]\n");
        return 2;
    }
    if ((argc == 4 || argc == 5) && strcmp(argv[2], "--once") == 0)
        return WalkOnce(argv[1], argv[3], argc == 5 && strcmp(argv[4], "--gitignore") == 0);
    if (argc == 3 && strcmp(argv[2], "--growth") == 0)
        return RunGrowthRows(argv[1]);
    if (argc == 3 && strcmp(argv[2], "--gitignore") == 0)
        return RunGitIgnoreRow(argv[1]);
    std::string tree = EnsureBenchTree(argv[1]);

    CTestFolder dlls;
    CArc7Zip* arc = RegisterSevenZipBuilder(dlls);
    if (!arc)
        return 1;
    g_testInputs = {tree};

    int bareFiles = 0;
    double bare = TimeCount([&] { return CountBare(tree); }, &bareFiles);
    int fastFiles = 0;
    std::wstring wideTree = AnsiToWide(tree);
    double fastest = TimeCount([&] { return CountFastestEnumeration(wideTree); }, &fastFiles);
    int takenOff = 0;
    double off = TimeWalk(arc, false, &takenOff);
    int takenOn = 0;
    double on = TimeWalk(arc, true, &takenOn);
    if (bareFiles != kBenchFileCount || fastFiles != kBenchFileCount || takenOff != kBenchFileCount || takenOn <= 0 || takenOn >= takenOff)
    {
        fprintf(stderr, "unexpected counts: bare %d, filters off %d, filters on %d\n", bareFiles, takenOff, takenOn);
        return 1;
    }
    fprintf(stderr, "bare FindFirstFileExW walk: %6d files  %.3f s  %8.0f files/s\n", fastFiles, fastest,
            fastFiles / fastest);
    fprintf(stderr, "bare FindFirstFileA walk:  %6d files  %.3f s  %8.0f files/s\n", bareFiles, bare,
            bareFiles / bare);
    fprintf(stderr, "BuildFileList, filters off: %6d listed %.3f s  %8.0f files/s\n", takenOff, off, takenOff / off);
    fprintf(stderr, "BuildFileList, 20 defs:     %6d listed %.3f s  %8.0f files/s walked\n", takenOn, on,
            bareFiles / on);
    fprintf(stderr, "decisions alone (memory):   %8.0f names/s\n", DecisionsPerSecond(tree));

    char measured[64], reference[64], fastReference[64];
    snprintf(measured, sizeof(measured), "%.0f files/s", bareFiles / on);
    snprintf(reference, sizeof(reference), "%.0f files/s", bareFiles / bare);
    snprintf(fastReference, sizeof(fastReference), "%.0f files/s", fastFiles / fastest);
    PrintBenchRow("(a) walk+filter+lists vs bare FindFirstFileExW (basic, large fetch)", measured, fastReference,
                  fastest / on, 0.8, false);
    PrintBenchRow("(a) walk+filter+lists vs bare FindFirstFileA", measured, reference, bare / on, 0.8, false);
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
    return 0;
}
