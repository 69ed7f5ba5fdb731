#pragma once

#include <windows.h>

// The dialog procedure of the benchmarks' reference dialogs: it does nothing
// but end the dialog on OK or Cancel (WM_CLOSE sends Cancel).
inline INT_PTR CALLBACK IdleDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}
