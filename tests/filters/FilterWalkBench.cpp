// Speed of the job's file walk (BuildFileList into the 7z builder's list files)
// with a 20-definition filter list against the same walk with filters off, over a
// generated tree of 50,000 files.
//
//   bench_filter_walk [folder]
//
// Without a folder the tree is made in a fresh temporary folder and removed at the
// end; with one it is made there once and reused by later runs.

#include "filters/FileList.h"
#include "filters/FilterMatch.h"

#include "app/CompressionJob.h"
#include "app/InputList.h"
#include "archivers/Arc7Zip.h"
#include "archivers/FormatRegistry.h"
#include "common/PathUtil.h"
#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const int kTopFolders = 50;
const int kSubFolders = 10;
const int kFilesPerFolder = 100;
const int kFileCount = kTopFolders * kSubFolders * kFilesPerFolder;
const int kRounds = 3;
const char kReadyMarker[] = "tree-ready";

const char* const kStems[] = {"report", "画像", "Thumbs", "~$draft", "README", "表計算", "data_2024", "memo"};
const char* const kExtensions[] = {".txt", ".docx", ".bak", ".jpg", ".log", "", ".xlsx", ".tmp", ".c", ".表"};

void MakeTree(const std::string& root)
{
    int made = 0;
    for (int top = 0; top < kTopFolders; ++top)
    {
        for (int sub = 0; sub < kSubFolders; ++sub)
        {
            char folder[MAX_PATH];
            snprintf(folder, sizeof(folder), "%s\\dir%02d\\sub%02d", root.c_str(), top, sub);
            CreateFolderTree(folder);
            for (int i = 0; i < kFilesPerFolder; ++i, ++made)
            {
                char path[MAX_PATH];
                snprintf(path, sizeof(path), "%s\\%s%d%s", folder, kStems[made % 8], i, kExtensions[made % 10]);
                HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                if (file != INVALID_HANDLE_VALUE)
                    CloseHandle(file);
            }
        }
    }
}

CCompressJob MakeJob(bool filterSw)
{
    const int ext = kFilterTypeExtension;
    const int name = kFilterTypeFileName;
    CFilterList list;
    list.Title = "ベンチマーク";
    list.Definitions = {
        Definition(ext, ".bak"),           Definition(ext, ".tmp"),
        Definition(ext, ".~*"),            Definition(ext, ".obj"),
        Definition(ext, ".pdb", true),     Definition(ext, ".ilk"),
        Definition(ext, ".$$$"),           Definition(ext, ".old"),
        Definition(ext, "\\.(swp|swo)", false, true),
        Definition(ext, ".表"),
        Definition(name, "Thumbs.db"),     Definition(name, "~$*"),
        Definition(name, "desktop.ini"),   Definition(name, "*.orig"),
        Definition(name, "*copy*"),        Definition(name, "core", true),
        Definition(name, "#*#"),           Definition(name, "画像??.jpg"),
        Definition(name, "data_[0-9]{4}\\.log", false, true),
        Definition(name, "[Rr]eport[0-9]+\\.docx", false, true),
    };
    CCompressJob job;
    job.Setting.DefaultArcType = 0;  // 7z
    job.Setting.FilterSw = filterSw;
    job.Setting.FilterLists.push_back(list);
    job.FilterListIndex = 0;
    return job;
}

struct CRun
{
    int taken = 0;
    double seconds = 0;
};

// Files in the 7z builder's list files.
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

// The job's walk, BuildFileList, into the 7z builder's list files.
CRun TimeWalk(CArc7Zip* arc, bool filterSw)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    CRun best;
    for (int round = 0; round < kRounds; ++round)
    {
        CCompressJob job = MakeJob(filterSw);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int result = BuildFileList(&job, NULL);
        QueryPerformanceCounter(&end);
        int taken = CountListedFiles(*arc);
        arc->Cleanup();
        if (result != 0)
        {
            fprintf(stderr, "the walk ended with %d\n", result);
            exit(1);
        }
        double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        if (round == 0 || seconds < best.seconds)
            best.seconds = seconds;
        best.taken = taken;
    }
    return best;
}

// The decisions alone, on names held in memory: what the filter adds to the walk.
double TimeDecisions(const std::vector<std::string>& names)
{
    CCompressJob job = MakeJob(true);
    CompileFilterList(&job);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int taken = 0;
    for (const std::string& name : names)
        taken += IsTargetFile(name.c_str(), kTargetFile);
    QueryPerformanceCounter(&end);
    ClearCompiledFilters();
    double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    return seconds > 0 ? names.size() / seconds : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<CTestFolder> temporary;
    std::string root;
    if (argc > 1)
        root = argv[1];
    else
    {
        temporary.reset(new CTestFolder);
        root = temporary->Path();
    }

    if (!FileExists(root + "\\" + kReadyMarker))
    {
        printf("making %d files in %s ...\n", kFileCount, root.c_str());
        fflush(stdout);
        MakeTree(root + "\\tree");
        WriteFileBytes(root + "\\" + kReadyMarker, "");
    }

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
    g_inputList = {root + "\\tree"};

    CRun off = TimeWalk(arc, false);
    CRun on = TimeWalk(arc, true);
    printf("walk, filters off:             %6d files taken, %8.3f s, %10.0f files/s\n", off.taken,
           off.seconds, off.taken / off.seconds);
    printf("walk, 20-definition list:      %6d files taken, %8.3f s, %10.0f files/s (files walked)\n",
           on.taken, on.seconds, off.taken / on.seconds);

    std::vector<std::string> names;
    for (int i = 0; i < kFileCount; ++i)
    {
        char name[MAX_PATH];
        snprintf(name, sizeof(name), "%s%d%s", kStems[i % 8], i % kFilesPerFolder, kExtensions[i % 10]);
        names.push_back(name);
    }
    printf("decisions alone (in memory):   %10.0f names/s\n", TimeDecisions(names));
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
    return 0;
}
