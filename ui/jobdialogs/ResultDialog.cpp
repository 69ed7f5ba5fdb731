#include "ui/jobdialogs/ResultDialog.h"

#include "resources/resource.h"

#include <commctrl.h>

namespace {

const UINT_PTR kEscapeSubclassId = 1;

// A multi-line edit asks for every key, Escape included, and answers Escape by
// closing its dialog. Declining Escape leaves it to the dialog, which ignores it.
LRESULT CALLBACK DeclineEscapeProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE)
    {
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DefSubclassProc(edit, message, wParam, lParam);
        if (key != NULL && key->wParam == VK_ESCAPE &&
            (key->message == WM_KEYDOWN || key->message == WM_CHAR))
            code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        return code;
    }
    if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE)
        return 0;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(edit, DeclineEscapeProc, kEscapeSubclassId);
    return DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

int CResultDialog::Run(HWND owner, const char* text)
{
    m_text = text;
    return static_cast<int>(RunModal(IDD_RESULT, GetResourceModule(), owner, DialogKindProc<CResultDialog>,
                                     reinterpret_cast<LPARAM>(text)));
}

INT_PTR CResultDialog::OnInit()
{
    m_textBox.Attach(m_hwnd, IDC_RESULT_TEXT);
    m_textBox.SetText(m_text);
    SetWindowSubclass(m_textBox.GetHwnd(), DeclineEscapeProc, kEscapeSubclassId, 0);
    // Escape does nothing, wherever the focus is, as in the other job dialogs.
    SetFocus(GetDlgItem(m_hwnd, IDOK));
    return FALSE;
}

INT_PTR CResultDialog::OnCommand(int code, int id, HWND control)
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
