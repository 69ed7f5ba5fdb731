#include "ui/framework/ComboWrapper.h"

#include <string.h>

CComboWrapper::CComboWrapper() : m_count(0)
{
    memset(m_values, 0, sizeof(m_values));
}

int CComboWrapper::AddString(const char* text)
{
    return AddString(text, 0);
}

int CComboWrapper::AddString(const char* text, int value)
{
    if (m_hwnd == NULL)
        return CB_ERR;
    int index = static_cast<int>(SendMessageA(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    // An item the list refused takes no slot, so slots stay list positions.
    if (index < 0)
        return index;
    if (m_count < kComboValueSlots)
        m_values[m_count] = value;
    ++m_count;
    return index;
}

void CComboWrapper::ResetContent()
{
    if (m_hwnd != NULL)
        SendMessageA(m_hwnd, CB_RESETCONTENT, 0, 0);
    m_count = 0;
    memset(m_values, 0, sizeof(m_values));
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

int CComboWrapper::GetItemValue(int slot) const
{
    if (slot < 0 || slot >= m_count || slot >= kComboValueSlots)
        return -1;
    return m_values[slot];
}

int CComboWrapper::SelectByValue(int value)
{
    int slots = m_count < kComboValueSlots ? m_count : kComboValueSlots;
    for (int slot = 0; slot < slots; ++slot)
    {
        if (m_values[slot] == value)
            return SetCurSel(slot);
    }
    return -1;
}
