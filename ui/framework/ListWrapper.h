#pragma once

#include "ui/framework/ControlWrapper.h"

#include <commctrl.h>

// A list view in report mode.
class CListWrapper : public CControlWrapper
{
public:
    // Adds styles to the extended list-view styles already set.
    void AddExtendedStyle(DWORD styles);
    // The index of the new column or item, -1 on failure.
    int InsertColumn(int index, const LVCOLUMNA& column);
    // LVM_GETCOLUMNWIDTH: 0 when there is no such column.
    int GetColumnWidth(int index) const;
    bool SetColumnWidth(int index, int width);
    int InsertItem(const LVITEMA& item);
    bool SetItem(const LVITEMA& item);
    bool DeleteItem(int index);
    bool DeleteAllItems();
    // LVM_GETNEXTITEM: the next item after start (-1 for the first) with flags, -1 when none.
    int GetNextItem(int start, UINT flags) const;
    bool SetItemState(int index, UINT state, UINT mask);
    // LVM_SETITEMCOUNT: the row count of an owner-data list view, whose rows
    // the parent serves through LVN_GETDISPINFO.
    bool SetItemCount(int count, DWORD flags);
    bool RedrawItems(int first, int last);
};
