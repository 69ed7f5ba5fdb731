#include "app/DialogJobCallback.h"

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

void CDialogJobCallback::ShowError(const std::string& text)
{
    ShowErrorMessage(m_owner, text.c_str());
}

void CDialogJobCallback::ShowErrorWide(const std::wstring& text)
{
    MessageBoxW(m_owner, text.c_str(), AnsiToWide(kErrorTitle).c_str(), MB_OK | MB_ICONERROR);
}

bool CDialogJobCallback::AskWide(const std::wstring& text)
{
    return MessageBoxW(m_owner, text.c_str(), AnsiToWide(kConfirmTitle).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CDialogJobCallback::ShowResult(const std::string& text)
{
    RunResultDialog(m_owner, text.c_str());
}

void CDialogJobCallback::OpenFolder(const std::string& folder)
{
    ShellExecuteA(m_owner, "open", folder.c_str(), NULL, NULL, SW_SHOWNORMAL);
}
