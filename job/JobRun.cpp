#include "job/JobRun.h"

#include "job/InputList.h"
#include "job/JobCallback.h"
#include "job/JobResult.h"
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
    "次のファイル名には日本語(Shift_JIS)で表せない文字が含まれているため、圧縮できません。\n"
    "「%s」には、このような名前を格納できません。";
const char kUnnamableFormatsHead[] = "このような名前を格納できる形式:";
const char kUnnamableNoFormat[] = "このような名前を格納できる形式は見つかりませんでした。";
const char kUnnamableFilesTail[] = "形式を変更するか、ファイル名を変更するか、圧縮対象から外してください。";
const char kPasswordNotAscii[] =
    "日本語(Shift_JIS)で表せない文字を含むファイル名をUTF-8で格納するため、"
    "このZIP書庫のパスワードには半角英数字と記号しか使えません。\n"
    "パスワードを変更するか、7Z形式を選んでください。";
const char kUnicodeModeRefused[] =
    "アーカイバーDLLがUTF-8モードに切り替わらなかったため、"
    "日本語(Shift_JIS)で表せない文字を含むファイル名を格納できません。";
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

// The job's inputs as they were given: ANSI text (kept byte for byte) or
// wide names, which may lie beyond the ANSI code page.
class CJobInputs
{
public:
    explicit CJobInputs(const std::vector<std::string>& ansi) : m_ansi(&ansi), m_wide(nullptr) {}
    explicit CJobInputs(const std::vector<std::wstring>& wide) : m_ansi(nullptr), m_wide(&wide) {}

    int Collect(CCompressJob* job, const CFileSink& sink, CWalkReport* report, EWalkText text) const
    {
        if (m_wide != nullptr)
            return CollectFiles(job, *m_wide, sink, report, text);
        if (text == kWalkAnsi)
            return CollectFiles(job, *m_ansi, sink, report);
        std::vector<std::wstring> wide;
        for (const std::string& input : *m_ansi)
            wide.push_back(input.empty() ? std::wstring() : AnsiToWide(input.c_str()));
        return CollectFiles(job, wide, sink, report, text);
    }

private:
    const std::vector<std::string>* m_ansi;
    const std::vector<std::wstring>* m_wide;
};

int BuildList(CCompressJob* job, IJobCallback& callback, const CJobInputs& inputs);

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

class CJob
{
public:
    CJob(IJobCallback* callback, CCompressJob* job, CArc* arc, const CJobInputs& inputs)
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
    const CJobInputs& m_inputs;
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
        result = BuildList(m_job, *m_callback, m_inputs);
    CUnicodeModeScope unicodeMode(m_arc);
    if (result == kJobSucceeded && m_arc->Utf8Names() && !unicodeMode.SwitchOn())
    {
        m_callback->ShowError(kUnicodeModeRefused);
        result = kJobUnicodeModeRefused;
    }
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
    if (m_arc->Utf8Names())
    {
        // The DLL wrote its text in UTF-8 too; the result dialog shows ANSI
        // text, with "?" for what has no ANSI form.
        std::string shown = WideToShiftJis(Utf8ToWide(output));
        size_t length = shown.size() < sizeof(output) - 1 ? shown.size() : sizeof(output) - 1;
        memcpy(output, shown.data(), length);
        output[length] = '\0';
    }

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
// this one message is shown through the wide function. It names the formats
// that can store such names, so the user knows where to turn.
void ShowUnnamableFiles(IJobCallback* callback, const CArc& arc, const std::vector<std::wstring>& names)
{
    std::wstring text = AnsiToWide(FormatText(kUnnamableFilesHead, arc.GetDisplayName()).c_str());
    size_t shown = names.size() < kMaxNamesShown ? names.size() : kMaxNamesShown;
    for (size_t i = 0; i < shown; ++i)
        text += L"\n" + names[i];
    if (shown < names.size())
    {
        char more[128];
        snprintf(more, sizeof(more), kMoreNames, static_cast<unsigned>(names.size() - shown));
        text += L"\n" + AnsiToWide(more);
    }
    std::wstring formats;
    for (const auto& entry : GetFormatRegistry())
        if (entry.second->SupportsUnicodeNames() && entry.second->IsUsed())
            formats += L"\n" + AnsiToWide(entry.second->GetDisplayName());
    text += L"\n\n" + AnsiToWide(formats.empty() ? kUnnamableNoFormat : kUnnamableFormatsHead) + formats;
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

bool IsAsciiText(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// One walk into the builder's list files, in the text the walk hands over.
int WalkIntoLists(CArc* arc, CCompressJob* job, const CJobInputs& inputs, EWalkText text, CWalkReport* report,
                  bool* begun)
{
    arc->SetUtf8Names(text == kWalkUtf8);
    *begun = arc->BeginList(job) != 0;
    if (!*begun)
        return kFilesSinkRefused;
    int collected = inputs.Collect(
        job, [arc](const char* path, const char* baseFolder) { return arc->AddFile(path, baseFolder) != 0; },
        report, text);
    // The list files' last lines are written only now; without them the
    // archive would miss files as surely as with a refused line.
    if (!arc->EndList() && collected == kFilesCollected)
        collected = kFilesSinkRefused;
    return collected;
}

int BuildList(CCompressJob* job, IJobCallback& callback, const CJobInputs& inputs)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
        return kJobListRefused;
    CWalkReport report;
    bool begun = false;
    int collected = WalkIntoLists(arc, job, inputs, kWalkAnsi, &report, &begun);
    if (collected == kFilesUnnamable && arc->SupportsUnicodeNames())
    {
        // Names beyond the ANSI code page need the DLL's UTF-8 mode, and the
        // lists are written again in UTF-8. Only such a job walks twice; every
        // other one gets the one walk and the very bytes it always got.
        arc->Cleanup();
        collected = WalkIntoLists(arc, job, inputs, kWalkUtf8, &report, &begun);
    }
    if (!begun)
        return kJobListRefused;
    if (arc->Utf8Names() && job->UsePassword && arc->PasswordBytesFollowUnicodeMode() &&
        !IsAsciiText(job->Password) && collected == kFilesCollected)
    {
        callback.ShowError(kPasswordNotAscii);
        return kJobPasswordNotAscii;
    }

    switch (collected)
    {
    case kFilesFilterUnusable:
        callback.ShowError(GetFilterCompileError());
        return kJobFilterUnusable;
    case kFilesMatchFailed:
        callback.ShowError(GetFilterMatchError() + kCheckFilterHint);
        return kJobFilterUnusable;
    case kFilesUnnamable:
        ShowUnnamableFiles(&callback, *arc, report.unnamable);
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

}  // namespace

int BuildFileList(CCompressJob* job, IJobCallback& callback, const std::vector<std::string>& inputs)
{
    return BuildList(job, callback, CJobInputs(inputs));
}

int BuildFileList(CCompressJob* job, IJobCallback& callback, const std::vector<std::wstring>& inputs)
{
    return BuildList(job, callback, CJobInputs(inputs));
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

namespace {

int RunJob(IJobCallback& callback, CCompressJob* job, const CJobInputs& inputs)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
    {
        callback.ShowError(LoadResourceString(IDS_FORMAT_UNAVAILABLE));
        return kJobFormatUnavailable;
    }
    int result = CJob(&callback, job, arc, inputs).Run();
    arc->Cleanup();
    arc->SetUtf8Names(false);
    return result;
}

}  // namespace

int RunCompressJob(IJobCallback& callback, CCompressJob* job, const std::vector<std::string>& inputs)
{
    return RunJob(callback, job, CJobInputs(inputs));
}

int RunCompressJob(IJobCallback& callback, CCompressJob* job, const std::vector<std::wstring>& inputs)
{
    return RunJob(callback, job, CJobInputs(inputs));
}

int RunCompressJob(HWND owner, CCompressJob* job)
{
    CDialogJobCallback callback(owner);
    return RunCompressJob(callback, job);
}
