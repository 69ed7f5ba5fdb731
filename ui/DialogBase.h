#pragma once

#include "ui/ControlWrapper.h"

// Runs a dialog template modally or creates it modelessly and hands the live
// window to the procedure of the dialog's kind. That procedure receives
// WM_INITDIALOG with this object as its second parameter and every later
// message directly.
class CDialogBase : public CControlWrapper
{
public:
    CDialogBase();

    INT_PTR RunModal(int templateId, HINSTANCE module, HWND parent, DLGPROC proc);
    INT_PTR RunModal(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value);
    HWND CreateModeless(int templateId, HINSTANCE module, HWND parent, DLGPROC proc);
    HWND CreateModeless(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value);

    // Resizes the window so that its client area gets this size, keeping its position.
    int SetClientSize(int width, int height);
    void SetIcons(int iconId);

    LPARAM GetInitValue() const { return m_initValue; }

private:
    static INT_PTR CALLBACK StartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Store(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value);

    DLGPROC m_proc;
    LPARAM m_initValue;
};

// The procedure of one dialog kind: a process-wide pointer to the kind's object,
// set from WM_INITDIALOG, and the kind's handlers for the messages it reacts to.
// So at most one window of each kind exists at a time.
template <class TDialog>
INT_PTR CALLBACK DialogKindProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static TDialog* s_dialog = nullptr;
    switch (message)
    {
    case WM_INITDIALOG:
        s_dialog = static_cast<TDialog*>(reinterpret_cast<CDialogBase*>(lParam));
        return s_dialog->OnInit();
    case WM_COMMAND:
        return s_dialog->OnCommand(LOWORD(wParam));
    case WM_CLOSE:
        return s_dialog->OnClose();
    }
    return 0;
}

// The module that holds the program's dialog templates and string table.
HINSTANCE GetResourceModule();
