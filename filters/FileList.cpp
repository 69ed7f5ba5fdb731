#include "filters/FileList.h"

#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "filters/FilterMatch.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

// One walk: where files go, whether the files the filter leaves out go there
// too, the count handed over, whether the sink refused one (then the walk
// stops: the archive would miss files), and what it could not take.
struct CWalk
{
    const CWalkSink& sink;
    bool everyFile;
    int count;
    bool writeFailed;
    CWalkReport* report;
    EWalkText text;
};

// One entry of the input list: its real name, and its exact ANSI form when
// it has one. An entry given as ANSI text keeps the bytes it was given.
struct CInputEntry
{
    std::wstring wide;
    std::string ansi;
    bool hasAnsi;
};

void LeaveOut(CWalk* walk, const std::wstring& path, ELeftOutReason reason, DWORD error = 0)
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

bool Hand(CWalk* walk, const CWalkFile& file)
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

bool HandOver(CWalk* walk, const char* path, const char* baseFolder, ULONGLONG size, int definition)
{
    return Hand(walk, CWalkFile{path, nullptr, baseFolder, size, kWalkTaken, definition});
}

// A file the filter left out, to a sink that wants every file; path is null
// when only widePath can name it.
void HandFiltered(CWalk* walk, const char* path, const std::wstring& widePath, const char* baseFolder,
                  ULONGLONG size, const CFilterVerdict& verdict)
{
    if (!walk->everyFile)
        return;
    int kind = verdict.Undecided ? kWalkUndecided : kWalkFiltered;
    Hand(walk, CWalkFile{path, path == nullptr ? widePath.c_str() : nullptr, baseFolder, size, kind,
                         verdict.Definition});
}

ULONGLONG FoundSize(const WIN32_FIND_DATAW& found)
{
    return (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// folder and wideFolder name the same folder; the wide form is kept along so
// that a name without an ANSI form can still be shown as it is.
void WalkFolder(CWalk* walk, const char* folder, const std::wstring& wideFolder, const char* baseFolder)
{
    WIN32_FIND_DATAW found;
    CScopedFind find(FindFirstFileW((LongPathForm(wideFolder) + L"\\*").c_str(), &found));
    if (!find.IsValid())
    {
        // Only a drive root can list nothing at all; any other failure (denied,
        // held without sharing, gone meanwhile) loses everything below.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            LeaveOut(walk, wideFolder, kLeftOutUnlistable, error);
        return;
    }
    CPathJoin join(folder);
    do
    {
        const wchar_t* wideName = found.cFileName;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder && (wcscmp(wideName, L".") == 0 || wcscmp(wideName, L"..") == 0))
            continue;
        char ansiName[kPathBufferSize];
        std::string utf8Name;
        const char* name = ansiName;
        CFilterVerdict verdict;
        if (walk->text == kWalkUtf8)
        {
            utf8Name = WideToUtf8(wideName);
            name = utf8Name.c_str();
        }
        else if (!ToExactAnsi(wideName, ansiName, sizeof(ansiName)))
        {
            // A folder is always descended, so every file below it would be lost
            // too; a file is reported only when the filter would take it.
            if (isFolder || JudgeWideName("", wideName, wcslen(wideName), kTargetFile, &verdict))
                walk->report->unnamable.push_back(wideFolder + L"\\" + wideName);
            else
                HandFiltered(walk, nullptr, wideFolder + L"\\" + wideName, baseFolder, FoundSize(found), verdict);
            continue;
        }
        // The name of a match error is ANSI text; a UTF-8 name is left to the
        // filter, which names it from its wide form.
        bool taken = JudgeWideName(walk->text == kWalkUtf8 ? "" : name, wideName, wcslen(wideName),
                                   isFolder ? kTargetFolder : kTargetFile, &verdict) != 0;
        const char* path = join.Join(name);
        if (!taken)
        {
            if (walk->everyFile)
                HandFiltered(walk, path, path == nullptr ? wideFolder + L"\\" + wideName : std::wstring(), baseFolder,
                             FoundSize(found), verdict);
            continue;
        }
        if (path == nullptr)
            LeaveOut(walk, wideFolder + L"\\" + wideName, kLeftOutTooLong);
        else if (isFolder)
            WalkFolder(walk, path, wideFolder + L"\\" + wideName, baseFolder);
        else
            HandOver(walk, path, baseFolder, FoundSize(found), verdict.Definition);
    } while (!walk->writeFailed && FindNextFileW(find.Get(), &found));

    DWORD error = GetLastError();
    if (!walk->writeFailed && error != ERROR_NO_MORE_FILES)
        LeaveOut(walk, wideFolder, kLeftOutUnlistable, error);
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

// An entry whose name has an exact ANSI form, walked with ANSI text as it
// always was.
void WalkAnsiEntry(CWalk* walk, const CInputEntry& input)
{
    const std::string& entry = input.ansi;
    const std::wstring& wideEntry = input.wide;
    char baseFolder[kPathBufferSize];
    int baseLength = GetParentFolder(entry.c_str(), baseFolder, sizeof(baseFolder));
    ULONGLONG size = 0;
    int type = GetWidePathType(wideEntry, &size);
    // Without a folder part the entry cannot be stored relative to one.
    if (baseLength <= 0 || type == kPathMissing)
    {
        LeaveOut(walk, wideEntry, kLeftOutMissing);
        return;
    }
    const char* name = entry.c_str() + baseLength + 1;
    CFilterVerdict verdict;
    if (type == kPathFile)
    {
        if (JudgeFile(name, kTargetFile, &verdict))
            HandOver(walk, entry.c_str(), baseFolder, size, verdict.Definition);
        else
            HandFiltered(walk, entry.c_str(), std::wstring(), baseFolder, size, verdict);
    }
    else if (type == kPathFolder && IsTargetFile(name, kTargetFolder))
        WalkFolder(walk, entry.c_str(), wideEntry, baseFolder);
}

// Any entry, judged by its wide name: in UTF-8 text, or reported when the
// sink takes ANSI text and the entry has none.
void WalkWideEntry(CWalk* walk, const std::wstring& entry)
{
    size_t separator = entry.rfind(L'\\');
    ULONGLONG size = 0;
    int type = GetWidePathType(entry, &size);
    if (separator == std::wstring::npos || separator == 0 || type == kPathMissing)
    {
        LeaveOut(walk, entry, kLeftOutMissing);
        return;
    }
    const wchar_t* name = entry.c_str() + separator + 1;
    int kind = type == kPathFolder ? kTargetFolder : kTargetFile;
    CFilterVerdict verdict;
    bool taken = JudgeWideName("", name, wcslen(name), kind, &verdict) != 0;
    if (!taken)
    {
        if (type == kPathFile)
            HandFiltered(walk, nullptr, entry, "", size, verdict);
        return;
    }
    if (walk->text != kWalkUtf8)
    {
        walk->report->unnamable.push_back(entry);
        return;
    }
    std::string path = WideToUtf8(entry);
    std::string baseFolder = WideToUtf8(entry.substr(0, separator));
    if (type == kPathFile)
        HandOver(walk, path.c_str(), baseFolder.c_str(), size, verdict.Definition);
    else if (path.size() >= kPathBufferSize)
        LeaveOut(walk, entry, kLeftOutTooLong);
    else
        WalkFolder(walk, path.c_str(), entry, baseFolder.c_str());
}

void WalkInputList(CWalk* walk, const std::vector<CInputEntry>& inputs)
{
    for (const CInputEntry& entry : inputs)
    {
        if (entry.wide.empty())
            continue;
        if (entry.hasAnsi && walk->text == kWalkAnsi)
            WalkAnsiEntry(walk, entry);
        else
            WalkWideEntry(walk, entry.wide);
        if (walk->writeFailed)
            return;
    }
}

// The entries of ANSI text, each with its wide form.
std::vector<CInputEntry> AnsiEntries(const std::vector<std::string>& inputs)
{
    std::vector<CInputEntry> entries;
    entries.reserve(inputs.size());
    for (const std::string& input : inputs)
        entries.push_back(CInputEntry{input.empty() ? std::wstring() : AnsiToWide(input.c_str()), input, true});
    return entries;
}

// Entries named by wide names, each with its exact ANSI form where it has one.
std::vector<CInputEntry> WideEntries(const std::vector<std::wstring>& inputs)
{
    std::vector<CInputEntry> entries;
    entries.reserve(inputs.size());
    for (const std::wstring& input : inputs)
    {
        CInputEntry entry{input, std::string(), false};
        // Sized for the whole name (a UTF-16 unit is at most two ANSI bytes):
        // a name too long for the path buffer is still an ANSI name, and the
        // walk reports it as it reports any entry of ANSI text.
        std::string ansi(input.size() * 2 + 1, '\0');
        if (!input.empty() && ToExactAnsi(input.c_str(), &ansi[0], ansi.size()))
        {
            ansi.resize(strlen(ansi.c_str()));
            entry.ansi = ansi;
            entry.hasAnsi = true;
        }
        entries.push_back(entry);
    }
    return entries;
}

// The job's sink takes the path and base folder of each file handed over.
CWalkSink TakenFiles(const CFileSink& sink)
{
    return [&sink](const CWalkFile& file) { return sink(file.path, file.baseFolder); };
}

int Collect(CCompressJob* job, const std::vector<CInputEntry>& inputs, const CWalkSink& sink, bool everyFile,
            CWalkReport* report, EWalkText text)
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
    CWalk walk = {sink, everyFile, 0, false, report, text};
    WalkInputList(&walk, inputs);
    ClearCompiledFilters();
    if (walk.writeFailed)
        return kFilesSinkRefused;
    if (!GetFilterMatchError().empty())
        return kFilesMatchFailed;
    if (!report->unnamable.empty())
        return kFilesUnnamable;
    return walk.count == 0 ? kFilesNone : kFilesCollected;
}

}  // namespace

int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder)
{
    CWalkReport ignored;
    CWalkSink taken = TakenFiles(sink);
    CWalk walk = {taken, false, 0, false, &ignored, kWalkAnsi};
    WalkFolder(&walk, folder, AnsiToWide(folder), baseFolder);
    return walk.count;
}

int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink,
                 CWalkReport* report)
{
    return Collect(job, AnsiEntries(inputs), TakenFiles(sink), false, report, kWalkAnsi);
}

int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CFileSink& sink,
                 CWalkReport* report, EWalkText text)
{
    return Collect(job, WideEntries(inputs), TakenFiles(sink), false, report, text);
}

int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CWalkSink& sink,
                 CWalkReport* report)
{
    return Collect(job, WideEntries(inputs), sink, true, report, kWalkAnsi);
}
