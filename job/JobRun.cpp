#include "job/JobRun.h"

#include "archivers/formats/Arc.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "job/JobCallback.h"
#include "job/JobResult.h"
#include "job/LongStep.h"
#include "job/OutputName.h"
#include "job/ReadBack.h"
#include "settings/CompressJob.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

const size_t kOutputBufferSize = 4096;
const char kOldArchivePrefix[] = "tessik";
const char kOldArchiveExtension[] = ".tmp";

// What an overwrite answer means as the job's overwrite action: the builders
// read the action (ZIP adds with "-u" for kOverwriteAppend).
EOverwriteAction ActionForAnswer(EOverwriteAnswer answer)
{
    switch (answer)
    {
    case EOverwriteAnswer::Overwrite:
        return kOverwriteAlways;
    case EOverwriteAnswer::Append:
        return kOverwriteAppend;
    case EOverwriteAnswer::GiveAnotherName:
    case EOverwriteAnswer::Cancel:
        break;
    }
    return kOverwriteRename;
}

// The one result code of each failure: a step that fails reports the fact
// and ends the job with this code, so that the two cannot disagree.
int ResultOf(EJobFailure failure)
{
    switch (failure)
    {
    case EJobFailure::BadOutputName:
        return kJobBadOutputName;
    case EJobFailure::AppendUnsupported:
        return kJobAppendUnsupported;
    // The user edits the name in the compress dialog.
    case EJobFailure::OutputIsFolder:
    case EJobFailure::OutputExists:
        return kJobGiveAnotherName;
    case EJobFailure::OutputFolderNotCreated:
    case EJobFailure::OutputFolderIsFile:
        return kJobNoOutputFolder;
    case EJobFailure::OldArchiveLocked:
        return kJobOldArchiveLocked;
    case EJobFailure::OldArchiveNotCopied:
        return kJobOldArchiveNotCopied;
    case EJobFailure::ListFileFailed:
        return kJobListFileFailed;
    case EJobFailure::NoFiles:
        return kJobNoFiles;
    case EJobFailure::FilterUnusable:
    case EJobFailure::FilterMatchFailed:
        return kJobFilterUnusable;
    case EJobFailure::PasswordNotAscii:
        return kJobPasswordNotAscii;
    case EJobFailure::UnicodeModeRefused:
        return kJobUnicodeModeRefused;
    case EJobFailure::FormatUnavailable:
        return kJobFormatUnavailable;
    case EJobFailure::OldArchiveKept:
    case EJobFailure::OldArchiveNotDeleted:
        break;
    }
    return kJobArchiverFailed;
}

// What one step of the job ended with: its result code and the fact the
// callback hears of it, in one value.
struct CJobStep
{
    enum EFact
    {
        kNoFact,      // success, or an end the user chose (no password, cancelled)
        kFailure,     // failure and detail
        kUnnamable,   // unnamable
    };
    int result = kJobSucceeded;
    EFact fact = kNoFact;
    EJobFailure failure = EJobFailure::NoFiles;
    std::string detail;
    CUnnamableFiles unnamable;

    bool Succeeded() const { return result == kJobSucceeded; }
    static CJobStep Done() { return CJobStep(); }
    static CJobStep Quiet(int result)
    {
        CJobStep step;
        step.result = result;
        return step;
    }
    static CJobStep Failed(EJobFailure failure, const std::string& detail = std::string())
    {
        CJobStep step;
        step.result = ResultOf(failure);
        step.fact = kFailure;
        step.failure = failure;
        step.detail = detail;
        return step;
    }
    // Tells the fact; the job's result.
    int Tell(IJobCallback& callback) const
    {
        if (fact == kFailure)
            callback.Fail(failure, detail);
        else if (fact == kUnnamable)
            callback.ReportUnnamable(unnamable);
        return result;
    }
};

// The files the walk took, until the job knows the text its builder gets
// them in: a name without an ANSI form anywhere in the walk turns the whole
// list to UTF-8. Each path is held in the one form derived from it at the
// walk, its exact ANSI form or, for a name without one, UTF-8; the paths
// share one buffer, and each base folder is held once.
class CTakenFiles
{
public:
    // false when the path has no exact ANSI form (it is held in UTF-8).
    bool Add(const std::wstring& path, const std::wstring& baseFolder, ULONGLONG size)
    {
        if (m_bases.empty() || m_bases.back() != baseFolder)
            m_bases.push_back(baseFolder);
        size_t offset = m_text.size();
        bool ansi = AppendAnsi(path);
        if (!ansi)
        {
            m_text.resize(offset);
            m_text.append(WideToUtf8(path));
        }
        m_files.push_back(CEntry{offset, m_text.size() - offset, m_bases.size() - 1, size, ansi, false});
        return ansi;
    }
    // The file went into the builder's list.
    void MarkListed(size_t i) { m_files[i].listed = true; }
    // The listed files by the names their archive stores them under: each
    // path after its base folder and backslash.
    std::vector<CExpectedFile> ListedFiles() const
    {
        std::vector<CExpectedFile> files;
        for (size_t i = 0; i < m_files.size(); ++i)
        {
            if (!m_files[i].listed)
                continue;
            std::wstring path = Path(i);
            const std::wstring& base = BaseFolder(i);
            if (path.size() > base.size() && path.compare(0, base.size(), base) == 0 && path[base.size()] == L'\\')
                path.erase(0, base.size() + 1);
            files.push_back(CExpectedFile{path, m_files[i].size});
        }
        return files;
    }
    size_t Count() const { return m_files.size(); }
    const std::wstring& BaseFolder(size_t i) const { return m_bases[m_files[i].base]; }
    size_t BaseIndex(size_t i) const { return m_files[i].base; }
    // The path in the job's text: as held for an ANSI job (whose paths all
    // have their ANSI form), converted for a UTF-8 one.
    std::string Form(size_t i, bool utf8) const
    {
        std::string held = m_text.substr(m_files[i].offset, m_files[i].length);
        return utf8 && m_files[i].ansi ? WideToUtf8(AnsiToWide(held)) : held;
    }
    std::wstring Path(size_t i) const
    {
        std::string held = m_text.substr(m_files[i].offset, m_files[i].length);
        return m_files[i].ansi ? AnsiToWide(held) : Utf8ToWide(held);
    }

private:
    // Appends the exact ANSI form of path, false when it has none. Files of
    // one folder come one after another: the folder's form is derived once
    // for all of them, and only each name is converted.
    bool AppendAnsi(const std::wstring& path)
    {
        size_t separator = path.rfind(L'\\');
        size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
        if (nameStart != m_folder.size() || path.compare(0, nameStart, m_folder) != 0)
        {
            m_folder.assign(path, 0, nameStart);
            m_folderHasAnsi = ToAnsiForm(m_folder.c_str(), &m_folderAnsi);
        }
        std::string name;
        if (!m_folderHasAnsi || !ToAnsiForm(path.c_str() + nameStart, &name))
            return false;
        m_text.append(m_folderAnsi);
        m_text.append(name);
        return true;
    }
    bool ToAnsiForm(const wchar_t* wide, std::string* form)
    {
        // A UTF-16 unit is at most two ANSI bytes.
        size_t units = wcslen(wide);
        if (m_form.size() < units * 2 + 1)
            m_form.resize(units * 2 + 1);
        if (!ToExactAnsi(wide, &m_form[0], m_form.size()))
            return false;
        form->assign(m_form.c_str());
        return true;
    }

    struct CEntry
    {
        size_t offset;
        size_t length;
        size_t base;
        ULONGLONG size;
        bool ansi;
        bool listed;
    };
    std::string m_text;
    std::vector<CEntry> m_files;
    std::vector<std::wstring> m_bases;
    std::string m_form;
    std::wstring m_folder;  // with its trailing backslash
    std::string m_folderAnsi;
    bool m_folderHasAnsi = true;  // the empty folder's form is empty
};

// One file in the text the builder takes, or false when it has none: the
// exact ANSI form, or UTF-8.
bool JobForm(const std::wstring& wide, bool utf8, std::string* form)
{
    if (utf8)
    {
        *form = WideToUtf8(wide);
        return true;
    }
    form->resize(wide.size() * 2 + 1);
    if (!ToExactAnsi(wide.c_str(), &(*form)[0], form->size()))
        return false;
    form->resize(strlen(form->c_str()));
    return true;
}

// The names the job's walk found that the ANSI code page cannot hold, and
// the formats that could store them: the fact for a format whose DLL cannot.
CUnnamableFiles UnnamableFiles(const CArc& arc, const std::vector<std::wstring>& names)
{
    CUnnamableFiles files;
    files.names = names;
    files.format = arc.GetDisplayName();
    for (const auto& entry : GetFormatRegistry())
        if (entry.second->SupportsUnicodeNames() && entry.second->IsUsed())
            files.formats.push_back(entry.second->GetDisplayName());
    return files;
}

// One walk into the job's list: the files are taken by their real names, the
// text is chosen, and the builder gets every file in it.
class CListBuilder
{
public:
    CListBuilder(CCompressJob* job, CArc* arc, IJobCallback& callback, CJobProgress* progress)
        : m_job(job), m_arc(arc), m_callback(callback), m_progress(progress)
    {
    }

    CJobStep Build(const std::vector<std::wstring>& inputs);
    std::vector<CExpectedFile> ListedFiles() const { return m_taken.ListedFiles(); }

private:
    // The part of the step that runs on the worker thread: no question, no fact told.
    CJobStep WalkAndWrite(const std::vector<std::wstring>& inputs);
    CJobStep Walk(const std::vector<std::wstring>& inputs);
    CJobStep WriteList();
    bool AcceptLeftOut();

    CCompressJob* m_job;
    CArc* m_arc;
    IJobCallback& m_callback;
    CJobProgress* m_progress;
    CTakenFiles m_taken;
    CWalkReport m_report;
    std::vector<std::wstring> m_unnamable;
};

// Every file of the walk is a moment to stop; a stopped walk refuses the
// file, which ends it.
CJobStep CListBuilder::Walk(const std::vector<std::wstring>& inputs)
{
    int collected = CollectFiles(
        m_job, inputs,
        [this](const CWalkFile& file) {
            if (file.verdict != kWalkTaken)
                return !m_progress->IsStopped();
            m_progress->CountFileIn(file.path, file.size);
            if (m_taken.Add(file.path, file.baseFolder, file.size))
                return !m_progress->IsStopped();
            std::wstring part = UnnamablePart(file.path);
            if (!part.empty() && (m_unnamable.empty() || m_unnamable.back() != part))
                m_unnamable.push_back(part);
            return !m_progress->IsStopped();
        },
        &m_report);
    if (m_progress->IsStopped())
        return CJobStep::Quiet(kJobCancelled);
    switch (collected)
    {
    case kFilesFilterUnusable:
        return CJobStep::Failed(EJobFailure::FilterUnusable, GetFilterCompileError());
    case kFilesMatchFailed:
        return CJobStep::Failed(EJobFailure::FilterMatchFailed, GetFilterMatchError());
    }
    return CJobStep::Done();
}

// Hands every taken file to the builder in the job's text. A path that does
// not fit the program's path buffer in that text is left out as too long.
CJobStep CListBuilder::WriteList()
{
    if (!m_arc->BeginList(m_job))
        return CJobStep::Quiet(kJobListRefused);
    bool utf8 = m_job->Utf8Names;
    std::string path;
    std::string base;
    size_t formedBase = static_cast<size_t>(-1);
    bool baseFits = false;
    size_t listed = 0;
    bool refused = false;
    for (size_t i = 0; i < m_taken.Count() && !refused; ++i)
    {
        if (m_taken.BaseIndex(i) != formedBase)
        {
            formedBase = m_taken.BaseIndex(i);
            baseFits = JobForm(m_taken.BaseFolder(i), utf8, &base) && base.size() < kPathBufferSize;
        }
        path = m_taken.Form(i, utf8);
        if (!baseFits || path.size() >= kPathBufferSize)
        {
            m_report.leftOut.push_back(CLeftOutEntry{m_taken.Path(i), kProblemTooLong, 0});
            continue;
        }
        refused = m_arc->AddFile(path.c_str(), base.c_str()) == 0;
        m_taken.MarkListed(i);
        ++listed;
        m_progress->CountFile(0);
        if (m_progress->IsStopped())
        {
            m_arc->EndList();
            return CJobStep::Quiet(kJobCancelled);
        }
    }
    // The list files' last lines are written only now; without them the
    // archive would miss files as surely as with a refused line.
    if (!m_arc->EndList() && listed > 0)
        refused = true;
    if (refused)
    {
        char tempFolder[kPathBufferSize] = "";
        GetTempPathA(sizeof(tempFolder), tempFolder);
        return CJobStep::Failed(EJobFailure::ListFileFailed, tempFolder);
    }
    if (listed == 0)
        return CJobStep::Failed(EJobFailure::NoFiles);
    return CJobStep::Done();
}

// What the walk could not take. Asked before the archiver runs, "No" the
// default: an archive that silently lacks a selected file is found out only
// when the file is needed. A run nobody watches stops without asking.
bool CListBuilder::AcceptLeftOut()
{
    if (m_report.leftOut.empty())
        return true;
    if (m_job->Unattended)
    {
        m_callback.ReportLeftOut(m_report.leftOut);
        return false;
    }
    return m_callback.ConfirmLeftOut(m_report.leftOut);
}

CJobStep CListBuilder::WalkAndWrite(const std::vector<std::wstring>& inputs)
{
    m_progress->Begin(EJobPhase::kWalking, m_job->OutputFile);
    CJobStep step = Walk(inputs);
    if (!step.Succeeded())
        return step;
    if (!m_unnamable.empty())
    {
        if (!m_arc->SupportsUnicodeNames())
        {
            // Before the list: a builder that refuses its list would hide the reason.
            bool begun = m_arc->BeginList(m_job) != 0;
            m_arc->EndList();
            if (!begun)
                return CJobStep::Quiet(kJobListRefused);
            step = CJobStep::Quiet(kJobUnnamableFiles);
            step.fact = CJobStep::kUnnamable;
            step.unnamable = UnnamableFiles(*m_arc, m_unnamable);
            return step;
        }
        m_job->Utf8Names = true;
    }
    m_progress->Begin(EJobPhase::kListing, m_job->OutputFile);
    return WriteList();
}

CJobStep CListBuilder::Build(const std::vector<std::wstring>& inputs)
{
    m_job->Utf8Names = false;
    CJobStep step;
    RunLongStep(m_callback, m_progress, [&] { step = WalkAndWrite(inputs); });
    if (!step.Succeeded())
        return step;
    if (m_job->Utf8Names && m_job->UsePassword && m_arc->PasswordBytesFollowUnicodeMode() &&
        !IsAscii(m_job->Password))
        return CJobStep::Failed(EJobFailure::PasswordNotAscii);
    return AcceptLeftOut() ? CJobStep::Done() : CJobStep::Quiet(kJobFilesLeftOut);
}

// The DLL's UTF-8 mode for one job's run: switched on only for a job whose
// names need it, and off again however the run ends.
class CUnicodeModeScope
{
public:
    explicit CUnicodeModeScope(CArc* arc) : m_arc(arc), m_on(false) {}
    ~CUnicodeModeScope()
    {
        if (m_on)
            m_arc->SetDllUnicodeMode(false);
    }
    bool SwitchOn()
    {
        m_on = m_arc->SetDllUnicodeMode(true) != 0;
        return m_on;
    }

private:
    CUnicodeModeScope(const CUnicodeModeScope&) = delete;
    CUnicodeModeScope& operator=(const CUnicodeModeScope&) = delete;

    CArc* m_arc;
    bool m_on;
};

// The format's DLL loaded from the run to the end of its read back.
class CDllHold
{
public:
    CDllHold(CArc* arc, bool hold) : m_arc(hold ? arc : nullptr)
    {
        if (m_arc != nullptr)
            m_arc->HoldDll(true);
    }
    ~CDllHold()
    {
        if (m_arc != nullptr)
            m_arc->HoldDll(false);
    }

private:
    CDllHold(const CDllHold&) = delete;
    CDllHold& operator=(const CDllHold&) = delete;

    CArc* m_arc;
};

class CJob
{
public:
    CJob(IJobCallback* callback, CCompressJob* job, CArc* arc, const std::vector<std::wstring>& inputs)
        : m_callback(callback), m_job(job), m_arc(arc), m_inputs(inputs), m_list(job, arc, *callback, &m_progress),
          m_readBack(arc, job)
    {
    }

    int Run();

private:
    CJobStep CheckOutputName();
    CJobStep SettleExistingOutput();
    CJobStep HandleOverwriteAnswer(EOverwriteAnswer answer);
    CJobStep AskPassword();
    CJobStep PrepareOutputFolder();
    CJobStep SwitchUnicodeMode(CUnicodeModeScope* mode);
    CJobStep MoveOldArchiveAside();
    CJobStep CopyOldArchiveAside();
    CJobStep RunArchiver();
    bool Verifies() const { return m_job->Setting.VerifyArchive; }
    bool Adds() const { return m_job->OutputExists && m_oldArchive[0] == '\0'; }
    // After a failed run or read back: the new file goes, the old archive
    // gets its name back; false when it could not.
    bool RestoreOldArchive();
    void DeleteOldArchive();

    IJobCallback* m_callback;
    CCompressJob* m_job;
    CArc* m_arc;
    const std::vector<std::wstring>& m_inputs;
    CJobProgress m_progress;
    CListBuilder m_list;
    CReadBackCheck m_readBack;
    std::string m_outputFolder;
    // The old archive's temporary name: moved aside to be replaced, or a copy
    // of it while the DLL adds to it.
    char m_oldArchive[kPathBufferSize] = "";
    bool m_oldIsCopy = false;
};

int CJob::Run()
{
    CJobStep step = CheckOutputName();
    if (step.Succeeded())
        step = SettleExistingOutput();
    if (step.Succeeded())
        step = AskPassword();
    if (step.Succeeded())
        step = PrepareOutputFolder();
    if (step.Succeeded())
        step = m_list.Build(m_inputs);
    CUnicodeModeScope unicodeMode(m_arc);
    if (step.Succeeded())
        step = SwitchUnicodeMode(&unicodeMode);
    if (step.Succeeded())
        step = MoveOldArchiveAside();
    CDllHold hold(m_arc, step.Succeeded() && Verifies());
    if (step.Succeeded())
        step = CopyOldArchiveAside();
    if (step.Succeeded())
        step = RunArchiver();
    return step.Tell(*m_callback);
}

CJobStep CJob::CheckOutputName()
{
    if (!SettleOutputName(&m_job->OutputFile, &m_outputFolder))
        return CJobStep::Failed(EJobFailure::BadOutputName);
    return CJobStep::Done();
}

CJobStep CJob::SettleExistingOutput()
{
    switch (GetPathType(m_job->OutputFile.c_str()))
    {
    case kPathMissing:
        m_job->OutputExists = false;
        return CJobStep::Done();
    case kPathFolder:
        return CJobStep::Failed(EJobFailure::OutputIsFolder);
    }

    switch (m_job->Setting.OverWriteAction)
    {
    case kOverwriteAsk:
        break;
    case kOverwriteAppend:
        if (m_arc->SupportsAppend())
        {
            m_job->OutputExists = true;
            return CJobStep::Done();
        }
        // Said, and then asked what to do instead.
        m_callback->Fail(EJobFailure::AppendUnsupported, std::string());
        break;
    case kOverwriteRename:
        return CJobStep::Failed(EJobFailure::OutputExists);
    default:
        // "Always overwrite", and values only an edited settings file can hold:
        // the job goes on with the existing file.
        m_job->OutputExists = true;
        return CJobStep::Done();
    }

    EOverwriteAnswer answer = m_callback->AskOverwrite(m_job);
    m_job->Setting.OverWriteAction = ActionForAnswer(answer);
    return HandleOverwriteAnswer(answer);
}

CJobStep CJob::HandleOverwriteAnswer(EOverwriteAnswer answer)
{
    switch (answer)
    {
    case EOverwriteAnswer::Overwrite:
        m_job->OutputExists = true;
        return CJobStep::Done();
    case EOverwriteAnswer::Append:
        if (m_arc->SupportsAppend())
        {
            m_job->OutputExists = true;
            return CJobStep::Done();
        }
        return CJobStep::Failed(EJobFailure::AppendUnsupported);
    case EOverwriteAnswer::GiveAnotherName:
    case EOverwriteAnswer::Cancel:
        break;
    }
    return CJobStep::Quiet(kJobGiveAnotherName);
}

CJobStep CJob::AskPassword()
{
    m_job->Password.clear();
    if (!m_job->UsePassword)
        return CJobStep::Done();
    if (!m_arc->SupportsPassword())
    {
        // The compress dialog keeps the check mark of a disabled password box;
        // a builder must not then pass an empty password.
        m_job->UsePassword = false;
        return CJobStep::Done();
    }
    return m_callback->AskPassword(m_job) ? CJobStep::Done() : CJobStep::Quiet(kJobPasswordCancelled);
}

CJobStep CJob::PrepareOutputFolder()
{
    switch (GetPathType(m_outputFolder.c_str()))
    {
    case kPathFolder:
        return CJobStep::Done();
    case kPathMissing:
        if (CreateFolderTree(m_outputFolder.c_str()) && GetPathType(m_outputFolder.c_str()) == kPathFolder)
            return CJobStep::Done();
        return CJobStep::Failed(EJobFailure::OutputFolderNotCreated);
    }
    return CJobStep::Failed(EJobFailure::OutputFolderIsFile);
}

CJobStep CJob::SwitchUnicodeMode(CUnicodeModeScope* mode)
{
    if (m_job->Utf8Names && !mode->SwitchOn())
        return CJobStep::Failed(EJobFailure::UnicodeModeRefused);
    return CJobStep::Done();
}

CJobStep CJob::MoveOldArchiveAside()
{
    if (!m_job->OutputExists || m_job->Setting.OverWriteAction != kOverwriteAlways)
        return CJobStep::Done();
    char name[kPathBufferSize];
    // MoveFileA does not replace, so a name taken meanwhile fails the move
    // rather than losing a file.
    if (!MakeUniqueTempName(m_outputFolder.c_str(), kOldArchivePrefix, kOldArchiveExtension, name, sizeof(name)) ||
        !MoveFileA(m_job->OutputFile.c_str(), name))
    {
        // Going on would make the archiver add to the old archive instead of
        // replacing it.
        return CJobStep::Failed(EJobFailure::OldArchiveLocked, m_job->OutputFile);
    }
    strcpy(m_oldArchive, name);
    return CJobStep::Done();
}

// Adding works on the archive itself, and a DLL that fails part way, or an
// archive read back short, would leave it changed: the job keeps a copy
// beside it to put back. Only when the archive is to be read back, as it was
// before that check existed.
CJobStep CJob::CopyOldArchiveAside()
{
    if (!Verifies() || !Adds())
        return CJobStep::Done();
    bool stopped = false;
    RunLongStep(*m_callback, &m_progress, [&] {
        m_progress.Begin(EJobPhase::kReadingBack, m_job->OutputFile);
        stopped = !m_readBack.ReadOldEntries(&m_progress);
    });
    if (stopped)
        return CJobStep::Quiet(kJobCancelled);
    char name[kPathBufferSize] = "";
    bool named = MakeUniqueTempName(m_outputFolder.c_str(), kOldArchivePrefix, kOldArchiveExtension, name,
                                    sizeof(name)) != 0;
    if (!named || !CopyFileA(m_job->OutputFile.c_str(), name, TRUE))
    {
        // A full disk leaves part of the copy; a name taken meanwhile is
        // another file's.
        if (named && GetLastError() != ERROR_FILE_EXISTS)
            DeleteFileA(name);
        return CJobStep::Failed(EJobFailure::OldArchiveNotCopied, m_job->OutputFile);
    }
    strcpy(m_oldArchive, name);
    m_oldIsCopy = true;
    return CJobStep::Done();
}

bool CJob::RestoreOldArchive()
{
    if (m_oldArchive[0] == '\0')
        return true;
    // The output name was free when the archiver started (or held the old
    // archive, of which a copy waits), so a file there now is the archiver's.
    if (GetPathType(m_job->OutputFile.c_str()) == kPathFile)
        DeleteFileA(m_job->OutputFile.c_str());
    return MoveFileA(m_oldArchive, m_job->OutputFile.c_str()) != FALSE;
}

void CJob::DeleteOldArchive()
{
    // A read-only old archive cannot be deleted: say where it stayed rather
    // than leave an unexplained temporary file. The copy made for adding took
    // the archive's attributes with it; it is the job's own to delete.
    if (m_oldArchive[0] != '\0' && m_oldIsCopy)
        SetFileAttributesA(m_oldArchive, FILE_ATTRIBUTE_NORMAL);
    if (m_oldArchive[0] != '\0' && !DeleteFileA(m_oldArchive))
        m_callback->Fail(EJobFailure::OldArchiveNotDeleted, m_oldArchive);
}

CJobStep CJob::RunArchiver()
{
    char output[kOutputBufferSize];
    memset(output, 0, sizeof(output));
    CArchiverReport report;
    report.code = m_arc->Run(m_callback->ArchiverOwner(), output, sizeof(output));
    m_callback->ArchiverReturned(report.code);
    output[sizeof(output) - 1] = '\0';
    // The DLL wrote its text in UTF-8 too in its UTF-8 mode; the result shows
    // ANSI text, with "?" for what has no ANSI form.
    report.output = m_job->Utf8Names ? WideToShiftJis(Utf8ToWide(output)) : std::string(output);
    if (report.output.size() > sizeof(output) - 1)
        report.output.resize(sizeof(output) - 1);

    // A DLL may report success and write nothing: that is a failure, whether
    // or not an old archive waits to be deleted for it.
    report.notMade = report.code == 0 && GetPathType(m_job->OutputFile.c_str()) != kPathFile;
    bool made = report.code == 0 && !report.notMade;
    if (made && Verifies())
    {
        std::vector<CExpectedFile> given = m_list.ListedFiles();
        RunLongStep(*m_callback, &m_progress, [&] {
            m_progress.Begin(EJobPhase::kReadingBack, m_job->OutputFile);
            report.readBack = m_readBack.Check(given, &m_progress);
        });
        made = !report.readBack.failed;
    }
    if (!made)
    {
        // An archive that failed its read back goes even with no old one to
        // come back: it is not what the user asked for, nor one the user
        // stopped the check of.
        if (report.readBack.failed && m_oldArchive[0] == '\0')
            DeleteFileA(m_job->OutputFile.c_str());
        bool restored = RestoreOldArchive();
        if (!report.readBack.stopped)
            m_callback->ShowResult(report);
        if (!restored)
            m_callback->Fail(EJobFailure::OldArchiveKept, m_oldArchive);
        if (report.readBack.stopped)
            return CJobStep::Quiet(kJobCancelled);
        return CJobStep::Quiet(report.code == 0 && !report.notMade ? kJobReadBackFailed : kJobArchiverFailed);
    }

    if (m_job->Setting.AllwaysResult)
        m_callback->ShowResult(report);
    DeleteOldArchive();
    if (m_job->Setting.OutFolderOpen)
        m_callback->OpenFolder(m_outputFolder);
    return CJobStep::Done();
}

}  // namespace

int BuildFileList(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
        return CJobStep::Failed(EJobFailure::FormatUnavailable).Tell(callback);
    CJobProgress progress;
    return CListBuilder(job, arc, callback, &progress).Build(inputs).Tell(callback);
}

int RunJob(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
        return CJobStep::Failed(EJobFailure::FormatUnavailable).Tell(callback);
    int result = CJob(&callback, job, arc, inputs).Run();
    arc->Cleanup();
    return result;
}
