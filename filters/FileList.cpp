#include "filters/FileList.h"

#include "app/CompressJob.h"
#include "app/InputList.h"
#include "app/JobResult.h"
#include "archivers/Arc.h"
#include "archivers/FormatRegistry.h"
#include "common/PathUtil.h"
#include "filters/FilterMatch.h"
#include "resources/resource.h"
#include "ui/Messages.h"

#include <stdio.h>
#include <string.h>

namespace {

const size_t kPathBufferSize = 1024;

// One walk: the builder, the count handed over, and whether a list file
// refused a line (then the walk stops: the archive would miss files).
struct CWalk
{
    CArc* arc;
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
    if (!walk->arc->AddFile(path, baseFolder))
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
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
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
    } while (!walk->writeFailed && FindNextFileA(find, &found));
    FindClose(find);
}

void WalkInputList(CWalk* walk)
{
    for (const std::string& entry : g_inputList)
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

int AddFolderFiles(CArc* arc, const char* folder, const char* baseFolder)
{
    CWalk walk = {arc, 0, false};
    WalkFolder(&walk, folder, baseFolder);
    return walk.count;
}

int BuildFileList(CCompressJob* job, HWND owner)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr || !arc->BeginList(job))
        return kJobListRefused;

    if (!CompileFilterList(job))
    {
        ClearCompiledFilters();
        arc->EndList();
        ShowErrorMessage(owner, GetFilterCompileError().c_str());
        return kJobFilterUnusable;
    }

    CWalk walk = {arc, 0, false};
    WalkInputList(&walk);
    ClearCompiledFilters();
    arc->EndList();

    if (walk.writeFailed)
    {
        char tempFolder[kPathBufferSize] = "";
        GetTempPathA(sizeof(tempFolder), tempFolder);
        ShowErrorMessage(owner, FormatResourceString(IDS_LIST_FILE_FAILED, tempFolder).c_str());
        return kJobListFileFailed;
    }
    if (walk.count == 0)
    {
        ShowErrorMessage(owner, IDS_NO_FILES);
        return kJobNoFiles;
    }
    return kJobSucceeded;
}
