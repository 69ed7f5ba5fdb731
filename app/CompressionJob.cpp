#include "app/CompressionJob.h"

#include "app/InputList.h"
#include "app/JobResult.h"
#include "archivers/Arc.h"
#include "archivers/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/ShiftJis.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "resources/resource.h"
#include "settings/CompressJob.h"
#include "ui/Messages.h"
#include "ui/OverwriteDialog.h"
#include "ui/PasswordDialog.h"
#include "ui/ResultDialog.h"

#include <shellapi.h>

#include <stdio.h>
#include <string.h>

namespace {

const size_t kOutputBufferSize = 4096;
const size_t kFolderBufferSize = 4096;
const char kBadNameMessage[] = "ファイル名が不正です。もう一度確認してください";
const char kOldArchivePrefix[] = "tessik";
const char kOldArchiveExtension[] = ".tmp";

// A name that ends in ":" or in a real backslash names no file.
bool IsAcceptableOutputName(const std::string& name)
{
    if (name.empty())
        return false;
    unsigned char last = static_cast<unsigned char>(name.back());
    if (last == ':')
        return false;
    if (last == '\\')
        return name.size() >= 2 && IsShiftJisLeadByte(static_cast<unsigned char>(name[name.size() - 2]));
    return true;
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

class CJob
{
public:
    CJob(HWND owner, CCompressJob* job, CArc* arc) : m_owner(owner), m_job(job), m_arc(arc) {}

    int Run();

private:
    int CheckOutputName();
    int SettleExistingOutput();
    int HandleOverwriteChoice(int choice);
    int AskPassword();
    int PrepareOutputFolder();
    int MoveOldArchiveAside();
    int RunArchiver();
    void ShowResult(const char* output, int result);

    HWND m_owner;
    CCompressJob* m_job;
    CArc* m_arc;
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
        result = BuildFileList(m_job, m_owner);
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
        ShowErrorMessage(m_owner, kBadNameMessage);
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
        ShowErrorMessage(m_owner, IDS_OUTPUT_IS_FOLDER);
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
        ShowErrorMessage(m_owner, IDS_APPEND_UNSUPPORTED);
        break;
    case kOverwriteRename:
        ShowErrorMessage(m_owner, IDS_OUTPUT_EXISTS_GIVE_NAME);
        return kJobGiveAnotherName;
    default:
        // "Always overwrite", and values only an edited settings file can hold:
        // the job goes on with the existing file.
        m_job->OutputExists = true;
        return kJobSucceeded;
    }

    int choice = RunOverwriteDialog(m_owner, m_job);
    m_job->Setting.OverWriteAction = choice;
    return HandleOverwriteChoice(choice);
}

int CJob::HandleOverwriteChoice(int choice)
{
    switch (choice)
    {
    case kOverwriteChoiceOverwrite:
        m_job->OutputExists = true;
        return kJobSucceeded;
    case kOverwriteChoiceAppend:
        if (m_arc->SupportsAppend())
        {
            m_job->OutputExists = true;
            return kJobSucceeded;
        }
        ShowErrorMessage(m_owner, IDS_APPEND_UNSUPPORTED);
        return kJobAppendUnsupported;
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
    return RunPasswordDialog(m_owner, m_job) == IDOK ? kJobSucceeded : kJobPasswordCancelled;
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
        ShowErrorMessage(m_owner, IDS_OUTPUT_FOLDER_NOT_CREATED);
        return kJobNoOutputFolder;
    }
    ShowErrorMessage(m_owner, IDS_OUTPUT_FOLDER_IS_FILE);
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
        ShowErrorMessage(m_owner, FormatResourceString(IDS_MOVE_ASIDE_FAILED, m_job->OutputFile.c_str()).c_str());
        return kJobOldArchiveLocked;
    }
    strcpy(m_oldArchive, name);
    return kJobSucceeded;
}

void CJob::ShowResult(const char* output, int result)
{
    if (output[0] != '\0')
    {
        RunResultDialog(m_owner, output);
        return;
    }
    // The DLL could not be called, or said nothing: show its result code.
    char text[kPathBufferSize];
    snprintf(text, sizeof(text), LoadResourceString(IDS_NO_ARCHIVER_OUTPUT).c_str(), result);
    RunResultDialog(m_owner, text);
}

int CJob::RunArchiver()
{
    char output[kOutputBufferSize];
    memset(output, 0, sizeof(output));
    int result = m_arc->Run(m_owner, output, sizeof(output));
    output[sizeof(output) - 1] = '\0';

    if (result != 0)
    {
        bool restored = true;
        if (m_oldArchive[0] != '\0')
            restored = MoveFileA(m_oldArchive, m_job->OutputFile.c_str()) != FALSE;
        ShowResult(output, result);
        if (!restored)
            ShowErrorMessage(m_owner, FormatResourceString(IDS_OLD_ARCHIVE_KEPT_AS, m_oldArchive).c_str());
        return kJobArchiverFailed;
    }

    if (m_job->Setting.AllwaysResult)
        ShowResult(output, result);
    if (m_oldArchive[0] != '\0')
        DeleteFileA(m_oldArchive);
    if (m_job->Setting.OutFolderOpen)
        ShellExecuteA(m_owner, "open", m_outputFolder, NULL, NULL, SW_SHOWNORMAL);
    return kJobSucceeded;
}

}  // namespace

int BuildFileList(CCompressJob* job, HWND owner)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr || !arc->BeginList(job))
        return kJobListRefused;
    int collected = CollectFiles(job, g_inputList, [arc](const char* path, const char* baseFolder) {
        return arc->AddFile(path, baseFolder) != 0;
    });
    arc->EndList();

    switch (collected)
    {
    case kFilesFilterUnusable:
        ShowErrorMessage(owner, GetFilterCompileError().c_str());
        return kJobFilterUnusable;
    case kFilesSinkRefused:
    {
        char tempFolder[kPathBufferSize] = "";
        GetTempPathA(sizeof(tempFolder), tempFolder);
        ShowErrorMessage(owner, FormatResourceString(IDS_LIST_FILE_FAILED, tempFolder).c_str());
        return kJobListFileFailed;
    }
    case kFilesNone:
        ShowErrorMessage(owner, IDS_NO_FILES);
        return kJobNoFiles;
    }
    return kJobSucceeded;
}

int RunCompressJob(HWND owner, CCompressJob* job)
{
    CArc* arc = FindFormat(job->FormatId());
    if (arc == nullptr)
    {
        ShowErrorMessage(owner, IDS_FORMAT_UNAVAILABLE);
        return kJobFormatUnavailable;
    }
    int result = CJob(owner, job, arc).Run();
    arc->Cleanup();
    return result;
}
