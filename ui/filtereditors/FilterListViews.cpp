#include "ui/filtereditors/FilterListViews.h"

#include "common/Dpi.h"

#include "ui/framework/DialogBase.h"
#include "ui/framework/MenuWrapper.h"
#include "ui/framework/Messages.h"

#include <string.h>

void SetUpFilterListView(CListWrapper* list, const UINT* columnTitles, const int* widths, int columnCount, int dpi)
{
    list->AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (int i = 0; i < columnCount; ++i)
    {
        std::string title = LoadResourceString(columnTitles[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(title.c_str());
        column.cx = ScaleForDpi(widths[i], dpi);
        column.iSubItem = i;
        list->InsertColumn(i, column);
    }
}

void SetRowTexts(CListWrapper* list, int index, bool insert, const std::vector<std::string>& texts)
{
    for (size_t column = 0; column < texts.size(); ++column)
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.iSubItem = static_cast<int>(column);
        item.pszText = const_cast<char*>(texts[column].c_str());
        if (column == 0 && insert)
            list->InsertItem(item);
        else
            list->SetItem(item);
    }
}

std::vector<int> SelectedRows(const CListWrapper& list)
{
    std::vector<int> rows;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

std::vector<int> ConfirmedRowsToDelete(HWND owner, UINT askId, const CListWrapper& list)
{
    std::vector<int> rows = SelectedRows(list);
    if (rows.empty())
        return rows;
    if (MessageBoxA(owner, LoadResourceString(askId).c_str(), kConfirmTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return std::vector<int>();
    return std::vector<int>(rows.rbegin(), rows.rend());
}

void SelectOnlyRow(CListWrapper* list, int index)
{
    list->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    list->SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(list->GetHwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

void StoreColumnWidths(const CListWrapper& list, int* widths, int columnCount, int dpi)
{
    if (list.GetHwnd() == NULL)
        return;
    for (int i = 0; i < columnCount; ++i)
    {
        int width = list.GetColumnWidth(i);
        if (width > 0)
            widths[i] = UnscaleForDpi(width, dpi);
    }
}

void ScaleColumnWidths(CListWrapper* list, int columnCount, int oldDpi, int newDpi)
{
    if (oldDpi <= 0 || oldDpi == newDpi)
        return;
    for (int i = 0; i < columnCount; ++i)
    {
        int width = list->GetColumnWidth(i);
        if (width > 0)
            list->SetColumnWidth(i, MulDiv(width, newDpi, oldDpi));
    }
}

LOGFONTA GothicFont(int dpi)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfCharSet = DEFAULT_CHARSET;
    strcpy(font.lfFaceName, "ＭＳ ゴシック");
    return font;
}

int TrackEditDeleteMenu(HWND owner, int menuId, int editCommand, size_t selectedCount)
{
    CMenuWrapper bar;
    if (!bar.Load(GetResourceModule(), menuId))
        return 0;
    CMenuWrapper popup;
    popup.Attach(bar.GetSubMenu(0));
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    info.fState = selectedCount == 1 ? MFS_ENABLED : MFS_GRAYED;
    popup.SetItemInfo(static_cast<UINT>(editCommand), false, info);
    popup.SetDefaultItem(static_cast<UINT>(editCommand), false);
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(GetAncestor(owner, GA_ROOT));
    return popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                                owner);
}
