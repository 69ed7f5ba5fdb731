#include "filters/FileList.h"

#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "filters/FilterMatch.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// One walk: where files go, the count handed over, and whether the sink
// refused one (then the walk stops: the archive would miss files).
struct CWalk
{
    const CFileSink& sink;
    int count;
    bool writeFailed;
};

// Formats "%s\\%s" into buffer; false when it does not fit, because a cut
// path would name some other file or folder.
bool JoinPath(char* buffer, size_t size, const char* folder, const char* name)
{
    int written = snprintf(buffer, size, "%s\\%s", folder, name);
    return written > 0 && static_cast<size_t>(written) < size;
}

bool HandOver(CWalk* walk, const char* path, const char* baseFolder)
{
    if (!walk->sink(path, baseFolder))
    {
        walk->writeFailed = true;
        return false;
    }
    ++walk->count;
    return true;
}

void WalkFolder(CWalk* walk, const char* folder, const char* baseFolder)
{
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, sizeof(pattern), folder, "*"))
        return;
    WIN32_FIND_DATAA found;
    CScopedFind find(FindFirstFileA(pattern, &found));
    if (!find.IsValid())
        return;
    do
    {
        const char* name = found.cFileName;
        char path[kPathBufferSize];
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
                continue;
            if (IsTargetFile(name, kTargetFolder) && JoinPath(path, sizeof(path), folder, name))
                WalkFolder(walk, path, baseFolder);
        }
        else if (IsTargetFile(name, kTargetFile) && JoinPath(path, sizeof(path), folder, name))
        {
            HandOver(walk, path, baseFolder);
        }
    } while (!walk->writeFailed && FindNextFileA(find.Get(), &found));
}

void WalkInputList(CWalk* walk, const std::vector<std::string>& inputs)
{
    for (const std::string& entry : inputs)
    {
        char baseFolder[kPathBufferSize];
        int baseLength = GetParentFolder(entry.c_str(), baseFolder, sizeof(baseFolder));
        // Without a folder part the entry cannot be stored relative to one.
        if (baseLength <= 0)
            continue;
        const char* name = entry.c_str() + baseLength + 1;
        switch (GetPathType(entry.c_str()))
        {
        case kPathFile:
            if (IsTargetFile(name, kTargetFile))
                HandOver(walk, entry.c_str(), baseFolder);
            break;
        case kPathFolder:
            if (IsTargetFile(name, kTargetFolder))
                WalkFolder(walk, entry.c_str(), baseFolder);
            break;
        }
        if (walk->writeFailed)
            return;
    }
}

}  // namespace

int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder)
{
    CWalk walk = {sink, 0, false};
    WalkFolder(&walk, folder, baseFolder);
    return walk.count;
}

int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink)
{
    if (!CompileFilterList(job))
    {
        ClearCompiledFilters();
        return kFilesFilterUnusable;
    }
    CWalk walk = {sink, 0, false};
    WalkInputList(&walk, inputs);
    ClearCompiledFilters();
    if (walk.writeFailed)
        return kFilesSinkRefused;
    return walk.count == 0 ? kFilesNone : kFilesCollected;
}
