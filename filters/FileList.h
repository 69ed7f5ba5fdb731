#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct CCompressJob;
struct CGitIgnoreRule;

// What is wrong with a file or folder of the walk: why it cannot go into the
// archive, or why the filter could not judge it. The job and the preview
// report the same reasons, and the window layer words each one once.
enum EFileProblem
{
    kProblemNone,
    kProblemUndecided,   // the library gave up on the name with the file's definition
    kProblemMissing,     // a selected item that does not exist
    kProblemUnlistable,  // a folder whose listing failed (error holds the platform's code)
    kProblemTooLong,     // a path that does not fit the program's path buffer
    kProblemUnnamable,   // a name the ANSI code page cannot hold
};

struct CLeftOutEntry
{
    std::wstring path;
    EFileProblem reason;
    DWORD error;
};

// What the walk could not take, for the job to show before the archiver runs.
struct CWalkReport
{
    // Entries, or everything below them, that are missing from the files handed over.
    std::vector<CLeftOutEntry> leftOut;
};

// What the walk decided for one file (CWalkFile::verdict).
enum EWalkVerdict
{
    kWalkTaken,      // the job's list files are to hold it
    kWalkFiltered,   // left out by the filter list
    kWalkUndecided,  // the library gave up on the name: the job would stop
    kWalkIgnored,    // left out by a rule of the tree's .gitignore files (CWalkFile::rule)
};

// One file of the walk with its verdict, by its real (wide) name: the walk
// works in wide text only, and the job derives the form its archiver needs.
struct CWalkFile
{
    const std::wstring& path;
    // The parent folder of the file's input entry, without a trailing backslash.
    const std::wstring& baseFolder;
    ULONGLONG size;
    int verdict;
    // The definition that decided (index in the list's Definitions), -1 when
    // none matched or no list applies.
    int definition;
    // The .gitignore rule that decided, while the list follows those files:
    // the one that left the entry out, or a "!" rule that took it back in.
    // Null when none matched; valid during the sink's call only.
    const CGitIgnoreRule* rule = nullptr;
    // A folder a rule left out is handed over once (verdict kWalkIgnored) and
    // not entered; with kWalkCountIgnored, heldFiles and size count the files
    // below it, found without judging them.
    bool isFolder = false;
    ULONGLONG heldFiles = 0;
};

// Options of CollectFiles.
enum
{
    kWalkCountIgnored = 1,  // count what the folders left out by a .gitignore rule hold (the preview)
};

// Takes every file of the walk, also those the filter leaves out; false stops
// the walk (the archive would miss the file).
typedef std::function<bool(const CWalkFile& file)> CWalkSink;

// Results of CollectFiles.
enum
{
    kFilesCollected = 0,       // at least one file was taken
    kFilesFilterUnusable = 1,  // the job's filter list cannot be compiled: see GetFilterCompileError()
    kFilesSinkRefused = 2,     // the sink could not take a file
    kFilesNone = 3,            // nothing to pack
    kFilesMatchFailed = 4,     // a name could not be judged: see GetFilterMatchError()
};

// Compiles the job's filter list and hands every file of inputs, folders
// walked recursively (depth first), to sink with the filter's verdict. Returns
// a result above; what could not be walked is added to report (may be null).
// An empty entry names nothing and is skipped without a word.
//
// When the job's list follows the .gitignore files (CFilterList::GitIgnore),
// each selected folder is walked with the rules git would apply below it: the
// .gitignore of every folder entered and, when the folder lies in a
// repository, its info/exclude (the .gitignore files above the selected
// folder are not read). What a rule leaves out is left out whatever the
// definitions say; what no rule leaves out is judged by the definitions.
// The selected entries themselves are taken as chosen.
int CollectFiles(CCompressJob* job, const std::vector<std::wstring>& inputs, const CWalkSink& sink,
                 CWalkReport* report = nullptr, unsigned options = 0);
// Hands the files below folder (depth first) that the filter takes to sink,
// each with baseFolder; returns how many were handed over.
int AddFolderFiles(const CWalkSink& sink, const std::wstring& folder, const std::wstring& baseFolder);
