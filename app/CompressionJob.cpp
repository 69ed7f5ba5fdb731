#include "app/CompressionJob.h"

#include "app/InputList.h"
#include "app/JobCallback.h"
#include "app/JobResult.h"
#include "archivers/formats/Arc.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"
#include "common/TextFormat.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "resources/resource.h"
#include "settings/CompressJob.h"
#include "ui/framework/Messages.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

const char kBadNameMessage[] = "ファイル名が不正です。もう一度確認してください";

namespace {

const size_t kOutputBufferSize = 4096;
const size_t kFolderBufferSize = 4096;
const char kOldArchivePrefix[] = "tessik";
const char kOldArchiveExtension[] = ".tmp";
const char kOldArchiveNotDeleted[] =
    "元の書庫を削除できませんでした\r\n元の書庫は次のファイル名で残っています\r\n%s";
const char kCheckFilterHint[] = "\nフィルタの設定を確認してください。";
const char kUnnamableFilesHead[] =
    "次のファイル名には日本語(Shift_JIS)で表せない文字が含まれているため、圧縮できません。";
const char kUnnamableFilesTail[] = "ファイル名を変更するか、圧縮対象から外してください。";
const char kMoreNames[] = "ほか %u 件";
const size_t kMaxNamesShown = 20;
const char kLeftOutHead[] = "次のファイルまたはフォルダは書庫に入れられません(全 %u 件)。";
const char kLeftOutQuestion[] = "これらを除いて書庫を作成しますか?";
const char kLeftOutStopped[] = "圧縮を中止しました。";
const char kReasonMissing[] = "見つかりません";
const char kReasonUnlistable[] = "フォルダの内容を読み取れません(エラー %lu)";
const char kReasonTooLong[] = "パスが長すぎます";
const char kArchiveNotMade[] = "アーカイバーDLLは成功を返しましたが、書庫が作成されていません";
// What ShowResult shows when the DLL said success without making the archive.
const int kJobArchiveNotMade = -2;

// Puts our text before whatever the DLL wrote, cut to the buffer.
void PrependText(const char* text, char* buffer, size_t size)
{
    std::string whole = buffer[0] == '\0' ? std::string(text) : std::string(text) + "\r\n" + buffer;
    size_t length = whole.size() < size - 1 ? whole.size() : size - 1;
    memcpy(buffer, whole.data(), length);
    buffer[length] = '\0';
}

// A name that ends in ":" or in a real backslash names no file. Only a walk
// from the start tells a real backslash from a trail byte: the byte before it
// may itself be the trail byte of a character such as "＝" (0x81 0x81).
bool IsAcceptableOutputName(const std::string& name)
{
    if (name.empty() || name.back() == ':')
        return false;
    return !EndsWithSeparator(name.c_str());
}

// A name typed without a full folder is made full against the current folder,
// so that the output folder is known.
bool MakeFullOutputName(std::string* name)
{
    const char* text = name->c_str();
    bool absolute = (text[0] == '\\' && text[1] == '\\') || (text[0] != '\0' && text[1] == ':' && text[2] == '\\');
    if (absolute)
        return true;
    char full[kPathBufferSize];
    DWORD length = GetFullPathNameA(text, sizeof(full), full, NULL);
    if (length == 0 || length >= sizeof(full))
        return false;
    *name = full;
    return true;
}

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

class CJob
{
public:
    CJob(IJobCallback* callback, CCompressJob* job, CArc* arc, const std::vector<std::string>& inputs)
        : m_callback(callback), m_job(job), m_arc(arc), m_inputs(inputs)
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
    int RunArchiver();
    void ShowResult(const char* output, int result);

    IJobCallback* m_callback;
    CCompressJob* m_job;
    CArc* m_arc;
    const std::vector<std::string>& m_inputs;
    char m_outputFolder[kFolderBufferSize] = "";
    char m_oldArchive[kPathBufferSize] = "";  // the old archive's temporary name, if moved aside
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
        result = BuildFileList(m_job, *m_callback, m_inputs);
    if (result == kJobSucceeded)
        result = MoveOldArchiveAside();
    if (result == kJobSucceeded)
        result = RunArchiver();
    return result;
}

int CJob::CheckOutputName()
{
    if (!IsAcceptableOutputName(m_job->OutputFile) || !MakeFullOutputName(&m_job->OutputFile) ||
        GetParentFolder(m_job->OutputFile.c_str(), m_outputFolder, sizeof(m_outputFolder)) <= 0)
    {
        m_callback->ShowError(kBadNameMessage);
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
        m_callback->ShowError(LoadResourceString(IDS_OUTPUT_IS_FOLDER));
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
        m_callback->ShowError(LoadResourceString(IDS_APPEND_UNSUPPORTED));
        break;
    case kOverwriteRename:
        m_callback->ShowError(LoadResourceString(IDS_OUTPUT_EXISTS_GIVE_NAME));
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
        m_callback->ShowError(LoadResourceString(IDS_APPEND_UNSUPPORTED));
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
    switch (GetPathType(m_outputFolder))
    {
    case kPathFolder:
        return kJobSucceeded;
    case kPathMissing:
        if (CreateFolderTree(m_outputFolder) && GetPathType(m_outputFolder) == kPathFolder)
            return kJobSucceeded;
        m_callback->ShowError(LoadResourceString(IDS_OUTPUT_FOLDER_NOT_CREATED));
        return kJobNoOutputFolder;
    }
    m_callback->ShowError(LoadResourceString(IDS_OUTPUT_FOLDER_IS_FILE));
    return kJobNoOutputFolder;
}

int CJob::MoveOldArchiveAside()
{
    if (!m_job->OutputExists || m_job->Setting.OverWriteAction != kOverwriteAlways)
        return kJobSucceeded;
    char name[kPathBufferSize];
    // MoveFileA does not replace, so a name taken meanwhile fails the move
    // rather than losing a file.
    if (!MakeUniqueTempName(m_outputFolder, kOldArchivePrefix, kOldArchiveExtension, name, sizeof(name)) ||
        !MoveFileA(m_job->OutputFile.c_str(), name))
    {
        // Going on would make the archiver add to the old archive instead of
        // replacing it.
        m_callback->ShowError(FormatResourceString(IDS_MOVE_ASIDE_FAILED, m_job->OutputFile.c_str()));
        return kJobOldArchiveLocked;
    }
    strcpy(m_oldArchive, name);
    return kJobSucceeded;
}

void CJob::ShowResult(const char* output, int result)
{
    if (output[0] != '\0')
    {
        m_callback->ShowResult(output);
        return;
    }
    // The DLL could not be called, or said nothing: show its result code.
    char text[kPathBufferSize];
    snprintf(text, sizeof(text), LoadResourceString(IDS_NO_ARCHIVER_OUTPUT).c_str(), result);
    m_callback->ShowResult(text);
}

int CJob::RunArchiver()
{
    char output[kOutputBufferSize];
    memset(output, 0, sizeof(output));
    int result = m_arc->Run(m_callback->ArchiverOwner(), output, sizeof(output));
    m_callback->ArchiverReturned(result);
    output[sizeof(output) - 1] = '\0';

    // A DLL may report success and write nothing: that is a failure, whether
    // or not an old archive waits to be deleted for it.
    if (result == 0 && GetPathType(m_job->OutputFile.c_str()) != kPathFile)
    {
        PrependText(kArchiveNotMade, output, sizeof(output));
        result = kJobArchiveNotMade;
    }

    if (result != 0)
    {
        bool restored = true;
        if (m_oldArchive[0] != '\0')
        {
            // The output name was free when the archiver started, so a file
            // there now is its unfinished archive (a full disk leaves one).
            if (GetPathType(m_job->OutputFile.c_str()) == kPathFile)
                DeleteFileA(m_job->OutputFile.c_str());
            restored = MoveFileA(m_oldArchive, m_job->OutputFile.c_str()) != FALSE;
        }
        ShowResult(output, result);
        if (!restored)
            m_callback->ShowError(FormatResourceString(IDS_OLD_ARCHIVE_KEPT_AS, m_oldArchive));
        return kJobArchiverFailed;
    }

    if (m_job->Setting.AllwaysResult)
        ShowResult(output, result);
    // A read-only old archive cannot be deleted: say where it stayed rather
    // than leave an unexplained temporary file.
    if (m_oldArchive[0] != '\0' && !DeleteFileA(m_oldArchive))
    {
        char text[kPathBufferSize + 256];
        snprintf(text, sizeof(text), kOldArchiveNotDeleted, m_oldArchive);
        m_callback->ShowError(text);
    }
    if (m_job->Setting.OutFolderOpen)
        m_callback->OpenFolder(m_outputFolder);
    return kJobSucceeded;
}


// The names cannot pass through the ANSI text the rest of the program uses, so
// this one message is shown through the wide function.
void ShowUnnamableFiles(IJobCallback* callback, const std::vector<std::wstring>& names)
{
    std::wstring text = AnsiToWide(kUnnamableFilesHead);
    size_t shown = names.size() < kMaxNamesShown ? names.size() : kMaxNamesShown;
    for (size_t i = 0; i < shown; ++i)
        text += L"\n" + names[i];
    if (shown < names.size())
    {
        char more[128];
        snprintf(more, sizeof(more), kMoreNames, static_cast<unsigned>(names.size() - shown));
        text += L"\n" + AnsiToWide(more);
    }
    text += L"\n" + AnsiToWide(kUnnamableFilesTail);
    callback->ShowErrorWide(text);
}

std::wstring LeftOutReason(const CLeftOutEntry& entry)
{
    switch (entry.reason)
    {
    case kLeftOutMissing:
        return AnsiToWide(kReasonMissing);
    case kLeftOutUnlistable:
        return AnsiToWide(FormatText(kReasonUnlistable, static_cast<unsigned long>(entry.error)).c_str());
    case kLeftOutTooLong:
        break;
    }
    return AnsiToWide(kReasonTooLong);
}

// What the walk could not take, the first ones with their reasons. Asked
// before the archiver runs, "No" the default: an archive that silently lacks
// a selected file is found out only when the file is needed. A run nobody
// watches (the automatic start) stops without asking.
bool AcceptLeftOut(CCompressJob* job, IJobCallback& callback, const std::vector<CLeftOutEntry>& leftOut)
{
    std::wstring text = AnsiToWide(FormatText(kLeftOutHead, static_cast<unsigned>(leftOut.size())).c_str());
    size_t shown = leftOut.size() < kMaxNamesShown ? leftOut.size() : kMaxNamesShown;
    for (size_t i = 0; i < shown; ++i)
        text += L"\n" + leftOut[i].path + L"  (" + LeftOutReason(leftOut[i]) + L")";
    if (shown < leftOut.size())
        text += L"\n" + AnsiToWide(FormatText(kMoreNames, static_cast<unsigned>(leftOut.size() - shown)).c_str());
    if (job->Unattended)
    {
        callback.ShowErrorWide(text + L"\n\n" + AnsiToWide(kLeftOutStopped));
        return false;
    }
    return callback.AskWide(text + L"\n\n" + AnsiToWide(kLeftOutQuestion));
}

}  // namespace

int BuildFileList(CCompressJob* job, IJobCallback& callback, const std::vector<std::string>& inputs)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr || !arc->BeginList(job))
        return kJobListRefused;
    CWalkReport report;
    int collected = CollectFiles(
        job, inputs,
        [arc](const char* path, const char* baseFolder) { return arc->AddFile(path, baseFolder) != 0; },
        &report);
    // The list files' last lines are written only now; without them the
    // archive would miss files as surely as with a refused line.
    if (!arc->EndList() && collected == kFilesCollected)
        collected = kFilesSinkRefused;

    switch (collected)
    {
    case kFilesFilterUnusable:
        callback.ShowError(GetFilterCompileError());
        return kJobFilterUnusable;
    case kFilesMatchFailed:
        callback.ShowError(GetFilterMatchError() + kCheckFilterHint);
        return kJobFilterUnusable;
    case kFilesUnnamable:
        ShowUnnamableFiles(&callback, report.unnamable);
        return kJobUnnamableFiles;
    case kFilesSinkRefused:
    {
        char tempFolder[kPathBufferSize] = "";
        GetTempPathA(sizeof(tempFolder), tempFolder);
        callback.ShowError(FormatResourceString(IDS_LIST_FILE_FAILED, tempFolder));
        return kJobListFileFailed;
    }
    case kFilesNone:
        callback.ShowError(LoadResourceString(IDS_NO_FILES));
        return kJobNoFiles;
    }
    if (!report.leftOut.empty() && !AcceptLeftOut(job, callback, report.leftOut))
        return kJobFilesLeftOut;
    return kJobSucceeded;
}

int BuildFileList(CCompressJob* job, IJobCallback& callback)
{
    return BuildFileList(job, callback, g_inputList);
}

int BuildFileList(CCompressJob* job, HWND owner)
{
    CDialogJobCallback callback(owner);
    return BuildFileList(job, callback);
}

int RunCompressJob(IJobCallback& callback, CCompressJob* job)
{
    return RunCompressJob(callback, job, g_inputList);
}

int RunCompressJob(IJobCallback& callback, CCompressJob* job, const std::vector<std::string>& inputs)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
    {
        callback.ShowError(LoadResourceString(IDS_FORMAT_UNAVAILABLE));
        return kJobFormatUnavailable;
    }
    int result = CJob(&callback, job, arc, inputs).Run();
    arc->Cleanup();
    return result;
}

int RunCompressJob(HWND owner, CCompressJob* job)
{
    CDialogJobCallback callback(owner);
    return RunCompressJob(callback, job);
}
