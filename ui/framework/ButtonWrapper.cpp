#include "ui/framework/ButtonWrapper.h"

int CButtonWrapper::GetCheck() const
{
    if (m_hwnd == NULL)
        return BST_UNCHECKED;
    return static_cast<int>(SendMessageA(m_hwnd, BM_GETCHECK, 0, 0));
}

void CButtonWrapper::SetCheck(int state)
{
    if (m_hwnd != NULL)
        SendMessageA(m_hwnd, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int CButtonWrapper::SetIcon(int iconId)
{
    return SetIcon(iconId, GetWindowDpi(m_hwnd));
}

int CButtonWrapper::SetIcon(int iconId, int dpi)
{
    if (m_hwnd == NULL)
        return 0;
    HICON icon = LoadIconAtSize(GetInstance(), iconId, SmallIconSize(dpi));
    if (icon == NULL)
        return 0;
    SendMessageA(m_hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    // The button no longer shows the old icon.
    m_icon.Reset(icon);
    return 1;
}
