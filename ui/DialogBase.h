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

// The module that holds the program's dialog templates and string table.
HINSTANCE GetResourceModule();
