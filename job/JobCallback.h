#pragma once

#include "filters/FileList.h"

#include <windows.h>

#include <string>
#include <vector>

struct CCompressJob;
class CJobProgress;

// The user's answer when the output archive exists. Not the settings'
// overwrite action (EOverwriteAction), though the job stores one as the other.
enum class EOverwriteAnswer
{
    Overwrite,
    Append,
    GiveAnotherName,  // also the dialog closed
    Cancel,           // one archive per item: stop the items that remain
};

// Why a job stopped, or what went wrong after its archive was made. The
// window layer words each one; detail is the one text that goes with it.
enum class EJobFailure
{
    BadOutputName,           // the output name names no file
    OutputIsFolder,          // the output name is an existing folder
    AppendUnsupported,       // adding chosen for a format that cannot add
    OutputExists,            // the settings say: give another name
    OutputFolderNotCreated,  // detail: nothing
    OutputFolderIsFile,
    OldArchiveLocked,        // detail: the archive that could not be moved aside
    OldArchiveKept,          // after a failed run: detail is the name the old archive kept
    OldArchiveNotDeleted,    // after a good run: detail is the name the old archive kept
    ListFileFailed,          // detail: the folder the list files go to
    NoFiles,
    FilterUnusable,          // detail: what the filter's compiler said
    FilterMatchFailed,       // detail: what the filter's matcher said
    PasswordNotAscii,        // a ZIP password beyond ASCII for names in the DLL's UTF-8 mode
    UnicodeModeRefused,      // the DLL did not take its UTF-8 mode
    FormatUnavailable,       // the job's format is not registered
    OldArchiveNotCopied,     // adding: detail is the archive that could not be copied aside
};

// Names the ANSI code page cannot hold, for a format whose DLL has no UTF-8 mode.
struct CUnnamableFiles
{
    std::vector<std::wstring> names;
    std::string format;                // the job's format, by its display name
    std::vector<std::string> formats;  // the formats in use that can store such names
};

// How an entry of the new archive differs from the job's list.
enum class EArchiveDifference
{
    Missing,  // a file of the list (or, when adding, an entry that was there) is not in it
    Extra,    // an entry that is neither
    Size,     // the stored size is not the file's
    Doubled,  // a name stored more often than it was given
};

struct CArchiveDifference
{
    EArchiveDifference kind = EArchiveDifference::Missing;
    std::wstring name;     // as stored, or as listed when missing
    ULONGLONG expected = 0;  // Size: the file's size
    ULONGLONG stored = 0;    // Size: the archive's
};

// What could not be looked at when the archive was read back: said once.
enum class EReadBackNote
{
    NoListing,                // the DLL has no listing entries: nothing was compared
    SelfExtractingNotOpened,  // the DLL does not open its self-extracting program
    NamesNeedPassword,        // the archive's directory is encrypted
    NoIntegrityCheck,         // nothing installed tests this format's data
    DataNeedPassword,         // the data are encrypted: not tested
    OldEntriesUnread,         // adding: the archive before could not be read
};

// What reading the new archive back found.
struct CReadBack
{
    static const size_t kShownDifferences = 20;

    bool ran = false;         // the check was on and the run had succeeded
    bool failed = false;
    bool unreadable = false;  // the archive could not be opened or listed
    bool damaged = false;     // the DLL's full check failed
    bool stopped = false;     // the user stopped it (failed too: the archive was not checked)
    std::vector<CArchiveDifference> differences;  // the first kShownDifferences
    size_t differenceCount = 0;
    std::vector<EReadBackNote> notes;
};

// What the archiver DLL said of its run.
struct CArchiverReport
{
    std::string output;        // its text, in the ANSI code page
    int code = 0;              // what it returned
    bool notMade = false;      // it returned success, but no archive is there
    CReadBack readBack;
};

// The first thing one item's job reported (one archive per item), kept for
// the result that lists every item.
struct CJobNote
{
    enum EKind
    {
        kNothing,
        kFailure,
        kUnnamable,
        kLeftOut,
        kArchiver,
    };
    EKind kind = kNothing;
    EJobFailure failure = EJobFailure::NoFiles;
    std::string detail;
    CUnnamableFiles unnamable;
    std::vector<CLeftOutEntry> leftOut;
    CArchiverReport archiver;
};

// How one item of one archive per item ended.
enum class EItemEnd
{
    Made,
    Failed,   // note says why
    Skipped,  // its archive exists and the user chose not to make it
    NotRun,   // cancelled before or during its job
    NoName,   // no archive name could be proposed for it
};

struct CItemOutcome
{
    std::string item;      // as the result shows it: ANSI, "?" for what has none
    std::string archive;   // the archive's name, also when it was not made
    bool made = false;
    bool renamed = false;  // another item of this run had the proposed name
    EItemEnd end = EItemEnd::NotRun;
    CJobNote note;
};

// Everything a compression job asks or tells the user goes through here, as
// facts: the job itself opens no window and writes no sentence. Compress mode
// hands it the job's dialogs, which word the facts; tests hand it scripted
// answers and read the facts.
class IJobCallback
{
public:
    virtual ~IJobCallback() {}

    // The window that owns what the archiver DLL shows while it runs; NULL for none.
    virtual HWND ArchiverOwner() = 0;
    // Sets job->Password; false when the user cancelled.
    virtual bool AskPassword(CCompressJob* job) = 0;
    virtual EOverwriteAnswer AskOverwrite(CCompressJob* job) = 0;
    // The question for one of several items: GiveAnotherName skips this item,
    // Cancel stops them all; *forRest is set when the answer holds for the rest.
    virtual EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) = 0;

    virtual void Fail(EJobFailure reason, const std::string& detail) = 0;
    virtual void ReportUnnamable(const CUnnamableFiles& files) = 0;
    // What the walk could not take. Report: the job stops (nobody watches the
    // run); Confirm: the user decides, "No" the default; true to go on without them.
    virtual void ReportLeftOut(const std::vector<CLeftOutEntry>& entries) = 0;
    virtual bool ConfirmLeftOut(const std::vector<CLeftOutEntry>& entries) = 0;
    // The archiver's run, when it failed or the settings ask for it always.
    virtual void ShowResult(const CArchiverReport& report) = 0;
    // One archive per item: every item's outcome, when one failed or the
    // settings ask for the result always.
    virtual void ShowItems(const std::vector<CItemOutcome>& outcomes) = 0;
    virtual void OpenFolder(const std::string& folder) = 0;
    // What the archiver DLL returned (its cancel code among them).
    virtual void ArchiverReturned(int code) {}
    // The job's long steps (the walk with its list files, reading the old
    // archive and the new one back) run on a worker thread while the job's
    // own thread waits here until done is signalled. The window layer serves
    // its windows meanwhile, shows progress->Facts() once the step has lasted
    // a moment, and passes the user's Cancel on as progress->Stop(). The
    // archiver's own run stays on the job's thread.
    virtual void WaitForStep(HANDLE done, CJobProgress* progress) { WaitForSingleObject(done, INFINITE); }
};
