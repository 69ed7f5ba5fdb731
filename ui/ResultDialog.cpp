#include "ui/ResultDialog.h"

#include "resources/resource.h"

int CResultDialog::Run(HWND owner, const char* text)
{
    m_text = text;
    return static_cast<int>(RunModal(IDD_RESULT, GetResourceModule(), owner, DialogKindProc<CResultDialog>,
                                     reinterpret_cast<LPARAM>(text)));
}

INT_PTR CResultDialog::OnInit()
{
    m_textBox.Attach(m_hwnd, IDC_RESULT_TEXT);
    SetWindowTextA(m_textBox.GetHwnd(), m_text);
    // In a multi-line edit, Escape makes the edit close its dialog; with the
    // focus on the button Escape does nothing, as in the other job dialogs.
    SetFocus(GetDlgItem(m_hwnd, IDOK));
    return FALSE;
}

INT_PTR CResultDialog::OnCommand(int id)
{
    // Escape (IDCANCEL) deliberately does nothing.
    if (id == IDOK)
    {
        EndDialog(m_hwnd, IDOK);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CResultDialog::OnClose()
{
    EndDialog(m_hwnd, IDCANCEL);
    return TRUE;
}

int RunResultDialog(HWND owner, const char* text)
{
    CResultDialog dialog;
    return dialog.Run(owner, text);
}
