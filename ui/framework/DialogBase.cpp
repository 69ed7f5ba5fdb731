#include "ui/framework/DialogBase.h"

HINSTANCE GetResourceModule()
{
    return GetModuleHandleA(NULL);
}

CDialogBase::CDialogBase() : m_proc(NULL), m_initValue(0), m_dpi(kBaseDpi), m_iconId(0)
{
}

void CDialogBase::Store(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value)
{
    m_proc = proc;
    m_id = templateId;
    m_instance = module;
    m_parent = parent;
    m_initValue = value;
    m_hwnd = NULL;
}

INT_PTR CDialogBase::RunModal(int templateId, HINSTANCE module, HWND parent, DLGPROC proc)
{
    return RunModal(templateId, module, parent, proc, 0);
}

INT_PTR CDialogBase::RunModal(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value)
{
    Store(templateId, module, parent, proc, value);
    return DialogBoxParamA(module, MAKEINTRESOURCEA(templateId), parent, StartProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::CreateModeless(int templateId, HINSTANCE module, HWND parent, DLGPROC proc)
{
    return CreateModeless(templateId, module, parent, proc, 0);
}

HWND CDialogBase::CreateModeless(int templateId, HINSTANCE module, HWND parent, DLGPROC proc, LPARAM value)
{
    Store(templateId, module, parent, proc, value);
    return CreateDialogParamA(module, MAKEINTRESOURCEA(templateId), parent, StartProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialogBase::StartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    CDialogBase* dialog = reinterpret_cast<CDialogBase*>(lParam);
    dialog->m_hwnd = window;
    dialog->m_dpi = GetWindowDpi(window);
    SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(dialog->m_proc));
    return dialog->m_proc(window, WM_INITDIALOG, wParam, reinterpret_cast<LPARAM>(dialog));
}

void CDialogBase::EndModal(INT_PTR result)
{
    EndDialog(m_hwnd, result);
}

void CDialogBase::Destroy()
{
    if (m_hwnd != NULL && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = NULL;
}

int CDialogBase::SetClientSize(int width, int height)
{
    RECT frame = {0, 0, width, height};
    DWORD style = static_cast<DWORD>(GetWindowLongA(m_hwnd, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(m_hwnd, GWL_EXSTYLE));
    if (!AdjustWindowRectEx(&frame, style, GetMenu(m_hwnd) != NULL, exStyle))
        return 0;
    return SetWindowPos(m_hwnd, NULL, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ? 1 : 0;
}

void CDialogBase::SetIcons(int iconId)
{
    HINSTANCE module = GetInstance();
    m_iconId = iconId;
    // The window keeps showing the icons it was given until it gets new ones:
    // the old ones go only after that.
    HICON smallIcon = LoadIconAtSize(module, iconId, SmallIconSize(m_dpi));
    HICON largeIcon = LoadIconAtSize(module, iconId, LargeIconSize(m_dpi));
    SendMessageA(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SendMessageA(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    m_smallIcon.Reset(smallIcon);
    m_largeIcon.Reset(largeIcon);
}

INT_PTR CDialogBase::OnDpiChanged(int dpi, const RECT* suggested)
{
    m_dpi = dpi > 0 ? dpi : kBaseDpi;
    MoveToSuggestedRect(m_hwnd, suggested);
    if (m_iconId != 0)
        SetIcons(m_iconId);
    return TRUE;
}

void CDialogBase::MoveToStoredPosition(int left, int top)
{
    RECT frame;
    GetWindowRect(m_hwnd, &frame);
    OffsetRect(&frame, left - frame.left, top - frame.top);
    if (MonitorFromRect(&frame, MONITOR_DEFAULTTONULL) == NULL)
        return;
    SetWindowPos(m_hwnd, NULL, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialogBase::GetNormalPosition(int* left, int* top) const
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(m_hwnd, &placement))
        return false;
    *left = placement.rcNormalPosition.left;
    *top = placement.rcNormalPosition.top;
    return true;
}
