#include "filters/FileList.h"

#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "filters/FilterMatch.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// One walk: where files go, the count handed over, whether the sink refused
// one (then the walk stops: the archive would miss files), and the entries
// whose names the ANSI code page cannot hold.
struct CWalk
{
    const CFileSink& sink;
    int count;
    bool writeFailed;
    std::vector<std::wstring>* unnamable;
};

// A folder's path and a backslash, to which each name found in it is
// appended in place: formatting the whole path anew for each of thousands of
// names cost more than finding them.
class CPathJoin
{
public:
    explicit CPathJoin(const char* folder) : m_folderLength(strlen(folder))
    {
        m_fits = m_folderLength + 1 < sizeof(m_path);
        if (m_fits)
        {
            memcpy(m_path, folder, m_folderLength);
            m_path[m_folderLength] = '\\';
        }
    }
    // folder\name, or null when it does not fit, because a cut path would name
    // some other file or folder.
    const char* Join(const char* name)
    {
        size_t nameLength = strlen(name);
        if (!m_fits || m_folderLength + 1 + nameLength >= sizeof(m_path))
            return nullptr;
        memcpy(m_path + m_folderLength + 1, name, nameLength + 1);
        return m_path;
    }

private:
    char m_path[kPathBufferSize];
    size_t m_folderLength;
    bool m_fits;
};

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

// folder and wideFolder name the same folder; the wide form is kept along so
// that a name without an ANSI form can still be shown as it is.
void WalkFolder(CWalk* walk, const char* folder, const std::wstring& wideFolder, const char* baseFolder)
{
    WIN32_FIND_DATAW found;
    CScopedFind find(FindFirstFileW((wideFolder + L"\\*").c_str(), &found));
    if (!find.IsValid())
        return;
    CPathJoin join(folder);
    do
    {
        const wchar_t* wideName = found.cFileName;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && (wcscmp(wideName, L".") == 0 || wcscmp(wideName, L"..") == 0))
            continue;
        char name[kPathBufferSize];
        if (!ToExactAnsi(wideName, name, sizeof(name)))
        {
            // A folder is always descended, so every file below it would be lost
            // too; a file is reported only when the filter would take it.
            if (isFolder || IsTargetWideName("", wideName, wcslen(wideName), kTargetFile))
                walk->unnamable->push_back(wideFolder + L"\\" + wideName);
            continue;
        }
        const char* path;
        if (isFolder)
        {
            if (IsTargetWideName(name, wideName, wcslen(wideName), kTargetFolder) &&
                (path = join.Join(name)) != nullptr)
                WalkFolder(walk, path, wideFolder + L"\\" + wideName, baseFolder);
        }
        else if (IsTargetWideName(name, wideName, wcslen(wideName), kTargetFile) &&
                 (path = join.Join(name)) != nullptr)
        {
            HandOver(walk, path, baseFolder);
        }
    } while (!walk->writeFailed && FindNextFileW(find.Get(), &found));
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
                WalkFolder(walk, entry.c_str(), AnsiToWide(entry.c_str()), baseFolder);
            break;
        }
        if (walk->writeFailed)
            return;
    }
}

}  // namespace

int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder)
{
    std::vector<std::wstring> unnamable;
    CWalk walk = {sink, 0, false, &unnamable};
    WalkFolder(&walk, folder, AnsiToWide(folder), baseFolder);
    return walk.count;
}

int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink,
                 std::vector<std::wstring>* unnamable)
{
    std::vector<std::wstring> ignored;
    if (unnamable == nullptr)
        unnamable = &ignored;
    unnamable->clear();
    if (!CompileFilterList(job))
    {
        ClearCompiledFilters();
        return kFilesFilterUnusable;
    }
    CWalk walk = {sink, 0, false, unnamable};
    WalkInputList(&walk, inputs);
    ClearCompiledFilters();
    if (walk.writeFailed)
        return kFilesSinkRefused;
    if (!GetFilterMatchError().empty())
        return kFilesMatchFailed;
    if (!unnamable->empty())
        return kFilesUnnamable;
    return walk.count == 0 ? kFilesNone : kFilesCollected;
}
