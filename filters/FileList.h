#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct CCompressJob;

// Why an entry of the input list, or something below it, cannot go into the archive.
enum ELeftOutReason
{
    kLeftOutMissing,     // a selected item that does not exist
    kLeftOutUnlistable,  // a folder whose listing failed (error holds the platform's code)
    kLeftOutTooLong,     // a path that does not fit the program's path buffer
};

struct CLeftOutEntry
{
    std::wstring path;
    ELeftOutReason reason;
    DWORD error;
};

// What the walk could not take, for the job to show before the archiver runs.
struct CWalkReport
{
    // Files the filter would take and folders whose names the ANSI code page
    // cannot hold, as they really are: none is handed over, and the job must not run.
    std::vector<std::wstring> unnamable;
    // Entries, or everything below them, that are missing from the files handed over.
    std::vector<CLeftOutEntry> leftOut;
};

// Takes one accepted file with its base folder (the entry's parent folder);
// false when the file could not be listed, which stops the walk, because the
// archive would miss it.
typedef std::function<bool(const char* path, const char* baseFolder)> CFileSink;

// The text the sink gets its paths in.
enum EWalkText
{
    // Exact ANSI names; a file or folder without one is reported in
    // CWalkReport::unnamable, handed to no sink, and the walk's result is
    // kFilesUnnamable.
    kWalkAnsi,
    // UTF-8, which holds every name (for an archiver DLL in its UTF-8 mode).
    kWalkUtf8,
};

// What the walk decided for one file (CWalkFile::verdict).
enum EWalkVerdict
{
    kWalkTaken,      // handed over: the job's list files hold it
    kWalkFiltered,   // left out by the filter list
    kWalkUndecided,  // the library gave up on the name: the job would stop
};

// One file of the walk with its verdict. path is null for a name without an
// ANSI form, and for a name whose path does not fit the program's buffer;
// widePath names it then.
struct CWalkFile
{
    const char* path;
    const wchar_t* widePath;
    const char* baseFolder;
    ULONGLONG size;
    int verdict;
    // The definition that decided (index in the list's Definitions), -1 when
    // none matched or no list applies.
    int definition;
};

// Takes every file of the walk, also those the filter leaves out; false stops
// the walk as a refused file does.
typedef std::function<bool(const CWalkFile& file)> CWalkSink;

// Results of CollectFiles.
enum
{
    kFilesCollected = 0,       // at least one file was handed over
    kFilesFilterUnusable = 1,  // the job's filter list cannot be compiled: see GetFilterCompileError()
    kFilesSinkRefused = 2,     // the sink could not take a file
    kFilesNone = 3,            // nothing to pack
    kFilesMatchFailed = 4,     // a name could not be judged: see GetFilterMatchError()
    kFilesUnnamable = 5,       // names without an ANSI form were found (see CollectFiles)
};

// Compiles the job's filter list and hands every file of inputs, folders walked
// recursively (depth first), that the filter takes to sink. Returns a result above;
// what could not be taken is added to report (may be null). An empty entry names
// nothing and is skipped without a word.
int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink,
                 CWalkReport* report = nullptr);
// The same for entries that may be named beyond the ANSI code page, with the
// sink's text chosen.
int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CFileSink& sink,
                 CWalkReport* report, EWalkText text);
// The same walk, judged by the same code, for a caller that shows what the
// filter does: sink also gets the files the filter leaves out, each with the
// definition that decided. Files without an ANSI form that the filter would
// take, and folders without one, are in report->unnamable as for the job.
int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CWalkSink& sink,
                 CWalkReport* report);
// Hands the files below folder (depth first) with baseFolder to sink; returns
// how many were handed over.
int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder);
