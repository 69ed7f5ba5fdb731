#include "ui/framework/ComboWrapper.h"

int CComboWrapper::AddString(const char* text)
{
    return AddString(text, 0);
}

int CComboWrapper::AddString(const char* text, int value)
{
    if (m_hwnd == NULL)
        return CB_ERR;
    int index = static_cast<int>(SendMessageA(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    if (index >= 0)
        SendMessageA(m_hwnd, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
    return index;
}

void CComboWrapper::ResetContent()
{
    if (m_hwnd != NULL)
        SendMessageA(m_hwnd, CB_RESETCONTENT, 0, 0);
}

int CComboWrapper::SetCurSel(int index)
{
    if (m_hwnd == NULL)
        return CB_ERR;
    return static_cast<int>(SendMessageA(m_hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

int CComboWrapper::GetCurSel() const
{
    if (m_hwnd == NULL)
        return CB_ERR;
    return static_cast<int>(SendMessageA(m_hwnd, CB_GETCURSEL, 0, 0));
}

int CComboWrapper::SelectString(const char* prefix)
{
    if (m_hwnd == NULL)
        return CB_ERR;
    return static_cast<int>(
        SendMessageA(m_hwnd, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix)));
}

int CComboWrapper::GetItemValue(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return -1;
    return static_cast<int>(SendMessageA(m_hwnd, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int CComboWrapper::SelectByValue(int value)
{
    int count = GetItemCount();
    for (int index = 0; index < count; ++index)
    {
        if (GetItemValue(index) == value)
            return SetCurSel(index);
    }
    return -1;
}

int CComboWrapper::GetItemCount() const
{
    if (m_hwnd == NULL)
        return 0;
    int count = static_cast<int>(SendMessageA(m_hwnd, CB_GETCOUNT, 0, 0));
    return count < 0 ? 0 : count;
}
