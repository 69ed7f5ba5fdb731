#include "ui/framework/ListWrapper.h"

void CListWrapper::AddExtendedStyle(DWORD styles)
{
    if (m_hwnd == NULL)
        return;
    DWORD current = static_cast<DWORD>(SendMessageA(m_hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageA(m_hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(current | styles));
}

int CListWrapper::InsertColumn(int index, const LVCOLUMNA& column)
{
    if (m_hwnd == NULL)
        return -1;
    return static_cast<int>(
        SendMessageA(m_hwnd, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListWrapper::GetColumnWidth(int index) const
{
    if (m_hwnd == NULL)
        return 0;
    return static_cast<int>(SendMessageA(m_hwnd, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index), 0));
}

bool CListWrapper::SetColumnWidth(int index, int width)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) != FALSE;
}

int CListWrapper::InsertItem(const LVITEMA& item)
{
    if (m_hwnd == NULL)
        return -1;
    return static_cast<int>(SendMessageA(m_hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListWrapper::SetItem(const LVITEMA& item)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool CListWrapper::DeleteItem(int index)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
}

bool CListWrapper::DeleteAllItems()
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_DELETEALLITEMS, 0, 0) != FALSE;
}

int CListWrapper::GetNextItem(int start, UINT flags) const
{
    if (m_hwnd == NULL)
        return -1;
    return static_cast<int>(SendMessageA(m_hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

bool CListWrapper::SetItemState(int index, UINT state, UINT mask)
{
    if (m_hwnd == NULL)
        return false;
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    return SendMessageA(m_hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) !=
           FALSE;
}

bool CListWrapper::SetItemCount(int count, DWORD flags)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), static_cast<LPARAM>(flags)) != FALSE;
}

bool CListWrapper::RedrawItems(int first, int last)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)) != FALSE;
}
