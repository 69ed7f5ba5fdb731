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

namespace {

// A step that ends within this shows no window: small jobs look as they did.
const DWORD kProgressDelayMs = 500;
// How often the window is brought up to date.
const DWORD kProgressStepMs = 100;

}  // namespace

CDialogJobCallback::~CDialogJobCallback()
{
    m_progress.Destroy();
    if (m_background)
        SetPriorityClass(GetCurrentProcess(), PROCESS_MODE_BACKGROUND_END);
}

bool CDialogJobCallback::ServeUntil(HANDLE done, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        DWORD passed = GetTickCount() - start;
        if (passed >= ms)
            return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
        DWORD waited = MsgWaitForMultipleObjects(1, &done, FALSE, ms - passed, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0)
            return true;
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        {
            // The step cannot be left behind: the loop that quits gets its
            // message once the job is back.
            if (message.message == WM_QUIT)
            {
                PostQuitMessage(static_cast<int>(message.wParam));
                return WaitForSingleObject(done, ms) == WAIT_OBJECT_0;
            }
            if (m_progressMade && IsDialogMessageA(m_progress.GetHwnd(), &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void CDialogJobCallback::WaitForStep(HANDLE done, CJobProgress* progress)
{
    DWORD stepStart = GetTickCount();
    if (m_jobStart == 0)
        m_jobStart = stepStart;
    while (!ServeUntil(done, kProgressStepMs))
    {
        if (GetTickCount() - stepStart < kProgressDelayMs)
            continue;
        if (!m_progressMade)
            m_progressMade = m_progress.Create(m_owner);
        if (!m_progressMade)
            continue;
        m_progress.ShowFacts(progress->Facts(), GetTickCount() - m_jobStart);
        if (!IsWindowVisible(m_progress.GetHwnd()))
            ShowWindow(m_progress.GetHwnd(), SW_SHOW);
        if (m_progress.CancelPressed())
            progress->Stop();
        // The archiver runs in this process: the mode holds for its run too.
        if (m_progress.BackgroundPressed() && !m_background)
            m_background = SetPriorityClass(GetCurrentProcess(), PROCESS_MODE_BACKGROUND_BEGIN) != FALSE;
    }
    // Between the steps the archiver shows its own window.
    if (m_progressMade)
        ShowWindow(m_progress.GetHwnd(), SW_HIDE);
}
