#pragma once

#include "common/Dpi.h"
#include "ui/framework/ControlWrapper.h"

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
    // The window's icons at the sizes of its DPI; again after a DPI change.
    void SetIcons(int iconId);
    // Moves the window's top-left corner there, size unchanged; a position on
    // no screen (a monitor that is gone) is not used, since it would hide the window.
    void MoveToStoredPosition(int left, int top);
    // The left and top edges of the window's normal (restored) placement.
    bool GetNormalPosition(int* left, int* top) const;

    LPARAM GetInitValue() const { return m_initValue; }
    // The DPI the window is laid out for: its own from creation, then each
    // DPI that WM_DPICHANGED brought.
    int GetDpi() const { return m_dpi; }

    // Ends a modal run with result.
    void EndModal(INT_PTR result);
    // Destroys a modeless window, and with it its child dialogs (the pages of a
    // settings dialog). Does nothing when no window is there.
    void Destroy();

    // A dialog kind without notifications of interest leaves this out.
    INT_PTR OnNotify(const NMHDR* header) { return 0; }
    // Any other message, for a kind that needs more than the four handlers
    // (resizing, its system menu, a worker thread's posts); true when handled,
    // *result then being the procedure's answer.
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) { return false; }
    // The window went to a monitor of another scale (or the scale changed):
    // it takes the suggested rectangle and its icons for dpi. A kind that
    // sizes parts of its own calls this first, with GetDpi() still the old
    // DPI read before, and scales those parts from the old DPI to the new.
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

private:
    static INT_PTR CALLBACK StartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Store(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value);

    DLGPROC m_proc;
    LPARAM m_initValue;
    int m_dpi;
    int m_iconId;
    CScopedIcon m_smallIcon;
    CScopedIcon m_largeIcon;
};

// The procedure of one dialog kind: a process-wide pointer to the kind's object,
// set from WM_INITDIALOG, and the kind's handlers for the messages it reacts to:
//   OnInit(), OnCommand(notification code, id, control window),
//   OnNotify(header) (its result is the notification's answer; CDialogBase
//   answers 0), OnClose(), OnDpiChanged(new DPI, suggested rectangle), and
//   OnOtherMessage for the rest (CDialogBase handles none).
// So at most one window of each kind exists at a time.
//
// Nothing thrown in a handler may unwind into the platform's dispatcher: the
// barrier drops the exception and answers 0 (not handled), so the message gets
// the platform's default handling and the dialog stays open and usable.
template <class TDialog>
INT_PTR CALLBACK DialogKindProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static TDialog* s_dialog = nullptr;
    try
    {
        switch (message)
        {
        case WM_INITDIALOG:
            s_dialog = static_cast<TDialog*>(reinterpret_cast<CDialogBase*>(lParam));
            return s_dialog->OnInit();
        case WM_COMMAND:
            return s_dialog->OnCommand(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        case WM_NOTIFY:
            // A dialog answers a notification through DWLP_MSGRESULT.
            SetWindowLongPtrA(window, DWLP_MSGRESULT, s_dialog->OnNotify(reinterpret_cast<const NMHDR*>(lParam)));
            return TRUE;
        case WM_CLOSE:
            return s_dialog->OnClose();
        case WM_DPICHANGED:
            if (s_dialog == nullptr)
                break;
            return s_dialog->OnDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        default:
        {
            INT_PTR result = 0;
            if (s_dialog != nullptr && s_dialog->OnOtherMessage(message, wParam, lParam, &result))
                return result;
            break;
        }
        }
    }
    catch (...)
    {
    }
    return 0;
}

// The module that holds the program's dialog templates and string table.
HINSTANCE GetResourceModule();
