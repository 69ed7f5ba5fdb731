// (a) The job's walk, filter and list writing (BuildFileList with a
// 20-definition list, into the 7z builder's list files) against the fastest
// bare enumeration of the same tree the platform offers (FindFirstFileExW,
// basic information, large fetches), and beside it against the ANSI one
// (under Wine the ANSI functions call the wide ones, so it is no limit).
//
//   bench_walk <folder>    the tree is made there once and reused
//
// Diagnostics (the walk with filters off, the decisions alone) go to stderr:
// they say what a gap is made of.

#include "app/CompressionJob.h"
#include "app/InputList.h"
#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "settings/CompressJob.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const int kRounds = kBenchRuns;

CCompressJob MakeJob(bool filterSw)
{
    CCompressJob job;
    job.Setting.DefaultArcType = 0;  // 7z
    job.Setting.FilterSw = filterSw;
    job.Setting.FilterLists.push_back(MakeBenchList());
    job.FilterListIndex = 0;
    return job;
}

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

int CountFastest(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, NULL,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
    {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
                count += CountFastest(folder + L"\\" + found.cFileName);
        }
        else
        {
            ++count;
        }
    } while (FindNextFileW(find, &found));
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

// Median of kRounds; *taken gets the files in the list files.
double TimeWalk(CArc7Zip* arc, bool filterSw, int* taken)
{
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round)
    {
        CCompressJob job = MakeJob(filterSw);
        LONGLONG start = BenchNow();
        int result = BuildFileList(&job, NULL);
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_walk <folder>\n");
        return 2;
    }
    std::string tree = EnsureBenchTree(argv[1]);

    // The 7z builder writes the list files; its stand-in DLL only has to bind.
    CTestFolder dlls;
    InstallStandIns(dlls.Path(), {"7-Zip32.dll"});
    SetDllDirectoryA(dlls.Path().c_str());
    RegisterAllFormats();
    CArc7Zip* arc = dynamic_cast<CArc7Zip*>(FindFormat(0));
    if (!arc)
    {
        fprintf(stderr, "the 7z format is not available\n");
        return 1;
    }
    g_inputList = WidenAll({tree});

    int bareFiles = 0;
    double bare = TimeCount([&] { return CountBare(tree); }, &bareFiles);
    int fastFiles = 0;
    std::wstring wideTree = AnsiToWide(tree);
    double fastest = TimeCount([&] { return CountFastest(wideTree); }, &fastFiles);
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
