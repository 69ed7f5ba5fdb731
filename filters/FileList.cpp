#include "filters/FileList.h"

#include "common/FileBytes.h"
#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "filters/FilterMatch.h"
#include "filters/GitIgnore.h"
#include "settings/CompressJob.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// One walk: where files go, the count taken, whether the sink refused one
// (then the walk stops: the archive would miss files), and what it could not
// take.
struct CWalk
{
    const CWalkSink& sink;
    bool takenOnly;  // AddFolderFiles: the files the filter leaves out are not handed over
    int count;
    bool writeFailed;
    CWalkReport* report;
    // The job's list follows the tree's .gitignore files.
    bool followGitIgnore = false;
    bool countIgnored = false;  // kWalkCountIgnored
    // The rules below the selected folder being walked (null while none is),
    // and the length of that folder's path.
    CGitIgnoreStack* ignore = nullptr;
    size_t rootLength = 0;
};

void LeaveOut(CWalk* walk, const std::wstring& path, EFileProblem reason, DWORD error = 0)
{
    walk->report->leftOut.push_back(CLeftOutEntry{path, reason, error});
}

// The form of path the wide functions take beyond MAX_PATH characters: "\\?\"
// before a full path ("\\?\UNC\" for a share). Shorter paths stay as they
// are, so what the platform does with them does not change.
std::wstring LongPathForm(const std::wstring& path)
{
    // Room for the "\*" of a listing and the terminator.
    const size_t kShortLimit = MAX_PATH - 3;
    if (path.size() < kShortLimit || path.compare(0, 4, L"\\\\?\\") == 0)
        return path;
    DWORD units = GetFullPathNameW(path.c_str(), 0, NULL, NULL);
    if (units == 0)
        return path;
    std::wstring full(units, L'\0');
    units = GetFullPathNameW(path.c_str(), units, &full[0], NULL);
    if (units == 0 || units >= full.size())
        return path;
    full.resize(units);
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// A folder's path and a backslash, to which each name found in it is
// appended in place: building the whole path anew for each of thousands of
// names cost more than finding them.
class CPathJoin
{
public:
    explicit CPathJoin(const std::wstring& folder) : m_path(folder), m_folderLength(folder.size() + 1)
    {
        m_path += L'\\';
    }
    // folder\name, or null when it does not fit the program's path buffer,
    // because the list files and the archiver's command line could not name it.
    const std::wstring* Join(const wchar_t* name)
    {
        m_path.resize(m_folderLength);
        m_path += name;
        return m_path.size() < kPathBufferSize ? &m_path : nullptr;
    }
    const std::wstring& Last() const { return m_path; }

private:
    std::wstring m_path;
    size_t m_folderLength;
};

bool HandFile(CWalk* walk, CWalkFile file)
{
    if (!walk->sink(file))
    {
        walk->writeFailed = true;
        return false;
    }
    if (file.verdict == kWalkTaken)
        ++walk->count;
    return true;
}

bool Hand(CWalk* walk, const std::wstring& path, const std::wstring& baseFolder, ULONGLONG size,
          const CFilterVerdict& verdict, bool taken, const CGitIgnoreRule* rule = nullptr)
{
    if (!taken && walk->takenOnly)
        return true;
    int kind = taken ? kWalkTaken : verdict.Undecided ? kWalkUndecided : kWalkFiltered;
    CWalkFile file{path, baseFolder, size, kind, verdict.Definition};
    file.rule = rule;
    return HandFile(walk, file);
}

ULONGLONG FoundSize(const WIN32_FIND_DATAW& found)
{
    return (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// The files below a folder a .gitignore rule left out, and their size: only
// counted, for the preview to say what the rule left out.
void CountHeld(const std::wstring& folder, ULONGLONG* files, ULONGLONG* size)
{
    WIN32_FIND_DATAW found;
    CScopedFind find(FindFirstFileW((LongPathForm(folder) + L"\\*").c_str(), &found));
    if (!find.IsValid())
        return;
    CPathJoin join(folder);
    do
    {
        const wchar_t* name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        {
            ++*files;
            *size += FoundSize(found);
        }
        else if (wcscmp(name, L".") != 0 && wcscmp(name, L"..") != 0)
        {
            join.Join(name);
            CountHeld(join.Last(), files, size);
        }
    } while (FindNextFileW(find.Get(), &found));
}

void WalkFolder(CWalk* walk, const std::wstring& folder, const std::wstring& baseFolder);

// One entry of a folder being walked: judged by the rules (while the list
// follows them), then by the definitions; a folder taken is walked.
void TakeEntry(CWalk* walk, CPathJoin* join, const WIN32_FIND_DATAW& found, const std::wstring& baseFolder)
{
    const wchar_t* name = found.cFileName;
    size_t length = wcslen(name);
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0))
        return;
    CGitIgnoreVerdict ruled;
    if (walk->ignore != nullptr)
    {
        ruled = walk->ignore->Decide(name, length, isFolder);
        if (ruled.ignored)
        {
            if (walk->takenOnly)
                return;
            join->Join(name);
            CWalkFile file{join->Last(), baseFolder, isFolder ? 0 : FoundSize(found), kWalkIgnored, -1};
            file.rule = ruled.rule.get();
            file.isFolder = isFolder;
            // Not entered: nothing below it can be taken back, as in git.
            if (isFolder && walk->countIgnored)
                CountHeld(join->Last(), &file.heldFiles, &file.size);
            HandFile(walk, file);
            return;
        }
    }
    CFilterVerdict verdict;
    bool taken = JudgeWideName("", name, length, isFolder ? kTargetFolder : kTargetFile, &verdict) != 0;
    const std::wstring* path = join->Join(name);
    if (!taken)
        Hand(walk, join->Last(), baseFolder, FoundSize(found), verdict, false, ruled.rule.get());
    else if (path == nullptr)
        LeaveOut(walk, join->Last(), kProblemTooLong);
    else if (isFolder)
        WalkFolder(walk, *path, baseFolder);
    else
        Hand(walk, *path, baseFolder, FoundSize(found), verdict, true, ruled.rule.get());
}

// A folder's own .gitignore decides on entries the listing may give before
// it, so with the rules the folder is listed first; the listing also tells
// whether there is a .gitignore to read. Git opens a file of that name in
// any case where names fold, and never a folder or a link.
void WalkRuledFolder(CWalk* walk, const std::wstring& folder, const std::wstring& baseFolder)
{
    std::vector<WIN32_FIND_DATAW> entries;
    DWORD error = ERROR_NO_MORE_FILES;
    {
        WIN32_FIND_DATAW found;
        CScopedFind find(FindFirstFileW((LongPathForm(folder) + L"\\*").c_str(), &found));
        if (!find.IsValid())
        {
            error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
                LeaveOut(walk, folder, kProblemUnlistable, error);
            return;
        }
        do
            entries.push_back(found);
        while (FindNextFileW(find.Get(), &found));
        error = GetLastError();
    }
    std::string rules;
    for (const WIN32_FIND_DATAW& entry : entries)
    {
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
            _wcsicmp(entry.cFileName, L".gitignore") == 0)
        {
            // One that cannot be read leaves out nothing.
            if (!ReadWholeFile(LongPathForm(folder + L"\\" + entry.cFileName), &rules))
                rules.clear();
            break;
        }
    }
    walk->ignore->EnterFolderWithRules(
        folder.size() > walk->rootLength ? folder.substr(walk->rootLength + 1) : std::wstring(), rules);
    CPathJoin join(folder);
    for (const WIN32_FIND_DATAW& entry : entries)
    {
        TakeEntry(walk, &join, entry, baseFolder);
        if (walk->writeFailed)
            break;
    }
    walk->ignore->LeaveFolder();
    if (!walk->writeFailed && error != ERROR_NO_MORE_FILES)
        LeaveOut(walk, folder, kProblemUnlistable, error);
}

void WalkFolder(CWalk* walk, const std::wstring& folder, const std::wstring& baseFolder)
{
    if (walk->ignore != nullptr)
    {
        WalkRuledFolder(walk, folder, baseFolder);
        return;
    }
    WIN32_FIND_DATAW found;
    CScopedFind find(FindFirstFileW((LongPathForm(folder) + L"\\*").c_str(), &found));
    if (!find.IsValid())
    {
        // Only a drive root can list nothing at all; any other failure (denied,
        // held without sharing, gone meanwhile) loses everything below.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            LeaveOut(walk, folder, kProblemUnlistable, error);
        return;
    }
    CPathJoin join(folder);
    do
        TakeEntry(walk, &join, found, baseFolder);
    while (!walk->writeFailed && FindNextFileW(find.Get(), &found));

    DWORD error = GetLastError();
    if (!walk->writeFailed && error != ERROR_NO_MORE_FILES)
        LeaveOut(walk, folder, kProblemUnlistable, error);
}

// GetPathType through the wide functions, which also take paths beyond
// MAX_PATH characters in their long form; size gets a file's size.
int GetWidePathType(const std::wstring& path, ULONGLONG* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LongPathForm(path).c_str(), GetFileExInfoStandard, &data))
        return kPathMissing;
    *size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kPathFolder : kPathFile;
}

void WalkEntry(CWalk* walk, const std::wstring& entry)
{
    size_t separator = entry.rfind(L'\\');
    ULONGLONG size = 0;
    int type = GetWidePathType(entry, &size);
    // Without a folder part the entry cannot be stored relative to one.
    if (separator == std::wstring::npos || separator == 0 || type == kPathMissing)
    {
        LeaveOut(walk, entry, kProblemMissing);
        return;
    }
    const wchar_t* name = entry.c_str() + separator + 1;
    std::wstring baseFolder = entry.substr(0, separator);
    CFilterVerdict verdict;
    if (type == kPathFile)
    {
        bool taken = JudgeWideName("", name, wcslen(name), kTargetFile, &verdict) != 0;
        Hand(walk, entry, baseFolder, size, verdict, taken);
    }
    else if (entry.size() >= kPathBufferSize)
    {
        LeaveOut(walk, entry, kProblemTooLong);
    }
    else if (JudgeWideName("", name, wcslen(name), kTargetFolder, &verdict))
    {
        if (!walk->followGitIgnore)
        {
            WalkFolder(walk, entry, baseFolder);
            return;
        }
        CGitIgnoreStack rules(entry);
        walk->ignore = &rules;
        walk->rootLength = entry.size();
        WalkFolder(walk, entry, baseFolder);
        walk->ignore = nullptr;
    }
}

// Whether the job's chosen list follows the .gitignore files; only a list
// that applies can.
bool FollowsGitIgnore(const CCompressJob& job)
{
    const std::vector<CFilterList>& lists = job.Setting.FilterLists;
    int index = job.FilterListIndex;
    return job.Setting.FilterSw && index >= 0 && index < static_cast<int>(lists.size()) && lists[index].GitIgnore;
}

}  // namespace

int AddFolderFiles(const CWalkSink& sink, const std::wstring& folder, const std::wstring& baseFolder)
{
    CWalkReport ignored;
    CWalk walk = {sink, true, 0, false, &ignored};
    WalkFolder(&walk, folder, baseFolder);
    return walk.count;
}

int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CWalkSink& sink,
                 CWalkReport* report, unsigned options)
{
    CWalkReport ignored;
    if (report == nullptr)
        report = &ignored;
    *report = CWalkReport();
    if (!CompileFilterList(job))
    {
        ClearCompiledFilters();
        return kFilesFilterUnusable;
    }
    CWalk walk = {sink, false, 0, false, report};
    walk.followGitIgnore = FollowsGitIgnore(*job);
    walk.countIgnored = (options & kWalkCountIgnored) != 0;
    for (const std::wstring& entry : inputs)
    {
        if (entry.empty())
            continue;
        WalkEntry(&walk, entry);
        if (walk.writeFailed)
            break;
    }
    ClearCompiledFilters();
    if (walk.writeFailed)
        return kFilesSinkRefused;
    if (!GetFilterMatchError().empty())
        return kFilesMatchFailed;
    return walk.count == 0 ? kFilesNone : kFilesCollected;
}
