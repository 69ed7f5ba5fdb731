#include "app/DialogJobCallback.h"

#include "app/JobWords.h"
#include "common/TextConvert.h"
#include "ui/framework/Messages.h"
#include "ui/jobdialogs/OverwriteDialog.h"
#include "ui/jobdialogs/PasswordDialog.h"
#include "ui/jobdialogs/ResultDialog.h"

#include <shellapi.h>

bool CDialogJobCallback::AskPassword(CCompressJob* job)
{
    return RunPasswordDialog(m_owner, job) == IDOK;
}

EOverwriteAnswer CDialogJobCallback::AskOverwrite(CCompressJob* job)
{
    switch (RunOverwriteDialog(m_owner, job))
    {
    case kOverwriteChoiceOverwrite:
        return EOverwriteAnswer::Overwrite;
    case kOverwriteChoiceAppend:
        return EOverwriteAnswer::Append;
    }
    return EOverwriteAnswer::GiveAnotherName;
}

EOverwriteAnswer CDialogJobCallback::AskItemOverwrite(CCompressJob* job, bool* forRest)
{
    int choice = RunItemOverwriteDialog(m_owner, job);
    *forRest = (choice & kOverwriteChoiceForRest) != 0;
    switch (choice & ~kOverwriteChoiceForRest)
    {
    case kOverwriteChoiceOverwrite:
        return EOverwriteAnswer::Overwrite;
    case kOverwriteChoiceAppend:
        return EOverwriteAnswer::Append;
    case kOverwriteChoiceRename:
        return EOverwriteAnswer::GiveAnotherName;
    }
    return EOverwriteAnswer::Cancel;
}

void CDialogJobCallback::Fail(EJobFailure reason, const std::string& detail)
{
    ShowErrorMessage(m_owner, FailureText(reason, detail).c_str());
}

void CDialogJobCallback::ShowWideError(const std::wstring& text)
{
    MessageBoxW(m_owner, text.c_str(), AnsiToWide(kErrorTitle).c_str(), MB_OK | MB_ICONERROR);
}

void CDialogJobCallback::ReportUnnamable(const CUnnamableFiles& files)
{
    ShowWideError(UnnamableText(files));
}

void CDialogJobCallback::ReportLeftOut(const std::vector<CLeftOutEntry>& entries)
{
    ShowWideError(LeftOutText(entries, true));
}

bool CDialogJobCallback::ConfirmLeftOut(const std::vector<CLeftOutEntry>& entries)
{
    return MessageBoxW(m_owner, LeftOutText(entries, false).c_str(), AnsiToWide(kConfirmTitle).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CDialogJobCallback::ShowResult(const CArchiverReport& report)
{
    RunResultDialog(m_owner, ArchiverText(report).c_str());
}

void CDialogJobCallback::ShowItems(const std::vector<CItemOutcome>& outcomes)
{
    RunResultDialog(m_owner, ItemsText(outcomes).c_str());
}

void CDialogJobCallback::OpenFolder(const std::string& folder)
{
    ShellExecuteA(m_owner, "open", folder.c_str(), NULL, NULL, SW_SHOWNORMAL);
}
