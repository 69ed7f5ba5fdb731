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
    if (m_hwnd == NULL)
        return 0;
    // A shared image belongs to the system and outlives every button that shows it.
    HICON icon = static_cast<HICON>(
        LoadImageA(GetInstance(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_SHARED));
    if (icon == NULL)
        return 0;
    SendMessageA(m_hwnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    return 1;
}
