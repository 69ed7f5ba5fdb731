#include "ui/jobdialogs/PasswordDialog.h"

#include "resources/resource.h"
#include "settings/CompressJob.h"
#include "ui/framework/Messages.h"

#include <string.h>

namespace {

const int kPasswordBufferSize = 1024;

}  // namespace

int CPasswordDialog::Run(HWND owner, CCompressJob* job)
{
    m_job = job;
    return static_cast<int>(RunModal(IDD_PASSWORD, GetResourceModule(), owner, DialogKindProc<CPasswordDialog>,
                                     reinterpret_cast<LPARAM>(job)));
}

INT_PTR CPasswordDialog::OnInit()
{
    m_password.Attach(m_hwnd, IDC_PASSWORD);
    m_passwordAgain.Attach(m_hwnd, IDC_PASSWORD_AGAIN);
    m_password.AddTooltip(IDS_TIP_PASSWORD, true, kTooltipDisplayMs);
    m_passwordAgain.AddTooltip(IDS_TIP_PASSWORD_AGAIN, true, kTooltipDisplayMs);
    return TRUE;
}

INT_PTR CPasswordDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDOK:
        OnSet();
        return TRUE;
    case IDCANCEL:
        EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CPasswordDialog::OnClose()
{
    EndDialog(m_hwnd, IDCANCEL);
    return TRUE;
}

void CPasswordDialog::OnSet()
{
    char password[kPasswordBufferSize] = "";
    char again[kPasswordBufferSize] = "";
    m_password.GetText(password, sizeof(password));
    m_passwordAgain.GetText(again, sizeof(again));
    if (lstrcmpA(password, again) != 0)
    {
        ShowErrorMessage(m_hwnd, IDS_PASSWORD_MISMATCH);
        return;
    }
    // The archivers get the password inside double quotes with no way to
    // escape one, so a quote would end the argument and turn the rest of the
    // password into switches.
    if (strchr(password, '"') != NULL)
    {
        ShowErrorMessage(m_hwnd, IDS_PASSWORD_HAS_QUOTE);
        return;
    }
    m_job->Password = password;
    EndDialog(m_hwnd, IDOK);
}

int RunPasswordDialog(HWND owner, CCompressJob* job)
{
    CPasswordDialog dialog;
    return dialog.Run(owner, job);
}
