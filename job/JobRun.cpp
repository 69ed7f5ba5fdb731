#include "job/JobRun.h"

#include "archivers/formats/Arc.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "job/JobCallback.h"
#include "job/JobResult.h"
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
    CListBuilder(CCompressJob* job, CArc* arc, IJobCallback& callback)
        : m_job(job), m_arc(arc), m_callback(callback)
    {
    }

    int Build(const std::vector<std::wstring>& inputs);
    std::vector<CExpectedFile> ListedFiles() const { return m_taken.ListedFiles(); }

private:
    int Walk(const std::vector<std::wstring>& inputs);
    int WriteList();
    bool AcceptLeftOut();

    CCompressJob* m_job;
    CArc* m_arc;
    IJobCallback& m_callback;
    CTakenFiles m_taken;
    CWalkReport m_report;
    std::vector<std::wstring> m_unnamable;
};

int CListBuilder::Walk(const std::vector<std::wstring>& inputs)
{
    int collected = CollectFiles(
        m_job, inputs,
        [this](const CWalkFile& file) {
            if (file.verdict != kWalkTaken)
                return true;
            if (m_taken.Add(file.path, file.baseFolder, file.size))
                return true;
            std::wstring part = UnnamablePart(file.path);
            if (!part.empty() && (m_unnamable.empty() || m_unnamable.back() != part))
                m_unnamable.push_back(part);
            return true;
        },
        &m_report);
    switch (collected)
    {
    case kFilesFilterUnusable:
        m_callback.Fail(EJobFailure::FilterUnusable, GetFilterCompileError());
        return kJobFilterUnusable;
    case kFilesMatchFailed:
        m_callback.Fail(EJobFailure::FilterMatchFailed, GetFilterMatchError());
        return kJobFilterUnusable;
    }
    return kJobSucceeded;
}

// Hands every taken file to the builder in the job's text. A path that does
// not fit the program's path buffer in that text is left out as too long.
int CListBuilder::WriteList()
{
    if (!m_arc->BeginList(m_job))
        return kJobListRefused;
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
    }
    // The list files' last lines are written only now; without them the
    // archive would miss files as surely as with a refused line.
    if (!m_arc->EndList() && listed > 0)
        refused = true;
    if (refused)
    {
        char tempFolder[kPathBufferSize] = "";
        GetTempPathA(sizeof(tempFolder), tempFolder);
        m_callback.Fail(EJobFailure::ListFileFailed, tempFolder);
        return kJobListFileFailed;
    }
    if (listed == 0)
    {
        m_callback.Fail(EJobFailure::NoFiles, std::string());
        return kJobNoFiles;
    }
    return kJobSucceeded;
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

int CListBuilder::Build(const std::vector<std::wstring>& inputs)
{
    m_job->Utf8Names = false;
    int result = Walk(inputs);
    if (result != kJobSucceeded)
        return result;
    if (!m_unnamable.empty())
    {
        if (!m_arc->SupportsUnicodeNames())
        {
            // Before the list: a builder that refuses its list would hide the reason.
            bool begun = m_arc->BeginList(m_job) != 0;
            m_arc->EndList();
            if (!begun)
                return kJobListRefused;
            m_callback.ReportUnnamable(UnnamableFiles(*m_arc, m_unnamable));
            return kJobUnnamableFiles;
        }
        m_job->Utf8Names = true;
    }
    result = WriteList();
    if (result != kJobSucceeded)
        return result;
    if (m_job->Utf8Names && m_job->UsePassword && m_arc->PasswordBytesFollowUnicodeMode() &&
        !IsAscii(m_job->Password))
    {
        m_callback.Fail(EJobFailure::PasswordNotAscii, std::string());
        return kJobPasswordNotAscii;
    }
    return AcceptLeftOut() ? kJobSucceeded : kJobFilesLeftOut;
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
        : m_callback(callback), m_job(job), m_arc(arc), m_inputs(inputs), m_list(job, arc, *callback),
          m_readBack(arc, job)
    {
    }

    int Run();

private:
    int CheckOutputName();
    int SettleExistingOutput();
    int HandleOverwriteAnswer(EOverwriteAnswer answer);
    int AskPassword();
    int PrepareOutputFolder();
    int MoveOldArchiveAside();
    int CopyOldArchiveAside();
    int RunArchiver();
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
    int result = CheckOutputName();
    if (result == kJobSucceeded)
        result = SettleExistingOutput();
    if (result == kJobSucceeded)
        result = AskPassword();
    if (result == kJobSucceeded)
        result = PrepareOutputFolder();
    if (result == kJobSucceeded)
        result = m_list.Build(m_inputs);
    CUnicodeModeScope unicodeMode(m_arc);
    if (result == kJobSucceeded && m_job->Utf8Names && !unicodeMode.SwitchOn())
    {
        m_callback->Fail(EJobFailure::UnicodeModeRefused, std::string());
        result = kJobUnicodeModeRefused;
    }
    if (result == kJobSucceeded)
        result = MoveOldArchiveAside();
    CDllHold hold(m_arc, result == kJobSucceeded && Verifies());
    if (result == kJobSucceeded)
        result = CopyOldArchiveAside();
    if (result == kJobSucceeded)
        result = RunArchiver();
    return result;
}

int CJob::CheckOutputName()
{
    if (!SettleOutputName(&m_job->OutputFile, &m_outputFolder))
    {
        m_callback->Fail(EJobFailure::BadOutputName, std::string());
        return kJobBadOutputName;
    }
    return kJobSucceeded;
}

int CJob::SettleExistingOutput()
{
    switch (GetPathType(m_job->OutputFile.c_str()))
    {
    case kPathMissing:
        m_job->OutputExists = false;
        return kJobSucceeded;
    case kPathFolder:
        m_callback->Fail(EJobFailure::OutputIsFolder, std::string());
        return kJobGiveAnotherName;
    }

    switch (m_job->Setting.OverWriteAction)
    {
    case kOverwriteAsk:
        break;
    case kOverwriteAppend:
        if (m_arc->SupportsAppend())
        {
            m_job->OutputExists = true;
            return kJobSucceeded;
        }
        m_callback->Fail(EJobFailure::AppendUnsupported, std::string());
        break;
    case kOverwriteRename:
        m_callback->Fail(EJobFailure::OutputExists, std::string());
        return kJobGiveAnotherName;
    default:
        // "Always overwrite", and values only an edited settings file can hold:
        // the job goes on with the existing file.
        m_job->OutputExists = true;
        return kJobSucceeded;
    }

    EOverwriteAnswer answer = m_callback->AskOverwrite(m_job);
    m_job->Setting.OverWriteAction = ActionForAnswer(answer);
    return HandleOverwriteAnswer(answer);
}

int CJob::HandleOverwriteAnswer(EOverwriteAnswer answer)
{
    switch (answer)
    {
    case EOverwriteAnswer::Overwrite:
        m_job->OutputExists = true;
        return kJobSucceeded;
    case EOverwriteAnswer::Append:
        if (m_arc->SupportsAppend())
        {
            m_job->OutputExists = true;
            return kJobSucceeded;
        }
        m_callback->Fail(EJobFailure::AppendUnsupported, std::string());
        return kJobAppendUnsupported;
    case EOverwriteAnswer::GiveAnotherName:
    case EOverwriteAnswer::Cancel:
        break;
    }
    return kJobGiveAnotherName;
}

int CJob::AskPassword()
{
    m_job->Password.clear();
    if (!m_job->UsePassword)
        return kJobSucceeded;
    if (!m_arc->SupportsPassword())
    {
        // The compress dialog keeps the check mark of a disabled password box;
        // a builder must not then pass an empty password.
        m_job->UsePassword = false;
        return kJobSucceeded;
    }
    return m_callback->AskPassword(m_job) ? kJobSucceeded : kJobPasswordCancelled;
}

int CJob::PrepareOutputFolder()
{
    switch (GetPathType(m_outputFolder.c_str()))
    {
    case kPathFolder:
        return kJobSucceeded;
    case kPathMissing:
        if (CreateFolderTree(m_outputFolder.c_str()) && GetPathType(m_outputFolder.c_str()) == kPathFolder)
            return kJobSucceeded;
        m_callback->Fail(EJobFailure::OutputFolderNotCreated, std::string());
        return kJobNoOutputFolder;
    }
    m_callback->Fail(EJobFailure::OutputFolderIsFile, std::string());
    return kJobNoOutputFolder;
}

int CJob::MoveOldArchiveAside()
{
    if (!m_job->OutputExists || m_job->Setting.OverWriteAction != kOverwriteAlways)
        return kJobSucceeded;
    char name[kPathBufferSize];
    // MoveFileA does not replace, so a name taken meanwhile fails the move
    // rather than losing a file.
    if (!MakeUniqueTempName(m_outputFolder.c_str(), kOldArchivePrefix, kOldArchiveExtension, name, sizeof(name)) ||
        !MoveFileA(m_job->OutputFile.c_str(), name))
    {
        // Going on would make the archiver add to the old archive instead of
        // replacing it.
        m_callback->Fail(EJobFailure::OldArchiveLocked, m_job->OutputFile);
        return kJobOldArchiveLocked;
    }
    strcpy(m_oldArchive, name);
    return kJobSucceeded;
}

// Adding works on the archive itself, and a DLL that fails part way, or an
// archive read back short, would leave it changed: the job keeps a copy
// beside it to put back. Only when the archive is to be read back, as it was
// before that check existed.
int CJob::CopyOldArchiveAside()
{
    if (!Verifies() || !Adds())
        return kJobSucceeded;
    m_readBack.ReadOldEntries();
    char name[kPathBufferSize] = "";
    bool named = MakeUniqueTempName(m_outputFolder.c_str(), kOldArchivePrefix, kOldArchiveExtension, name,
                                    sizeof(name)) != 0;
    if (!named || !CopyFileA(m_job->OutputFile.c_str(), name, TRUE))
    {
        // A full disk leaves part of the copy; a name taken meanwhile is
        // another file's.
        if (named && GetLastError() != ERROR_FILE_EXISTS)
            DeleteFileA(name);
        m_callback->Fail(EJobFailure::OldArchiveNotCopied, m_job->OutputFile);
        return kJobOldArchiveLocked;
    }
    strcpy(m_oldArchive, name);
    m_oldIsCopy = true;
    return kJobSucceeded;
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

int CJob::RunArchiver()
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
        report.readBack = m_readBack.Check(m_list.ListedFiles());
        made = !report.readBack.failed;
    }
    if (!made)
    {
        // An archive that failed its read back goes even with no old one to
        // come back: it is not what the user asked for.
        if (report.readBack.failed && m_oldArchive[0] == '\0')
            DeleteFileA(m_job->OutputFile.c_str());
        bool restored = RestoreOldArchive();
        m_callback->ShowResult(report);
        if (!restored)
            m_callback->Fail(EJobFailure::OldArchiveKept, m_oldArchive);
        return report.code == 0 && !report.notMade ? kJobReadBackFailed : kJobArchiverFailed;
    }

    if (m_job->Setting.AllwaysResult)
        m_callback->ShowResult(report);
    DeleteOldArchive();
    if (m_job->Setting.OutFolderOpen)
        m_callback->OpenFolder(m_outputFolder);
    return kJobSucceeded;
}

}  // namespace

int BuildFileList(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
        return kJobListRefused;
    return CListBuilder(job, arc, callback).Build(inputs);
}

int RunJob(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
    {
        callback.Fail(EJobFailure::FormatUnavailable, std::string());
        return kJobFormatUnavailable;
    }
    int result = CJob(&callback, job, arc, inputs).Run();
    arc->Cleanup();
    return result;
}
