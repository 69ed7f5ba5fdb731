#pragma once

#include "ui/framework/ListWrapper.h"

#include <string>
#include <vector>

// What the filter page and the list editor share about their list views.

// Report view with grid lines, full-row selection and info tips, and its
// columns: titles from the string table, widths in pixels at 96 DPI, shown
// at dpi, its dialog's.
void SetUpFilterListView(CListWrapper* list, const UINT* columnTitles, const int* widths, int columnCount, int dpi);
// Sets the texts of row index, inserting the row first when insert is set.
void SetRowTexts(CListWrapper* list, int index, bool insert, const std::vector<std::string>& texts);
// The selected rows, in ascending order.
std::vector<int> SelectedRows(const CListWrapper& list);
// The selected rows once the user has agreed, with question askId, to delete
// them: from the last row up, so that the indexes still to come stay valid.
// Empty when nothing is selected or the user said no.
std::vector<int> ConfirmedRowsToDelete(HWND owner, UINT askId, const CListWrapper& list);
// Deletes the confirmed rows from list and their records; false when none went.
template <class Record>
bool DeleteSelectedRows(HWND owner, UINT askId, CListWrapper* list, std::vector<Record>* records)
{
    std::vector<int> rows = ConfirmedRowsToDelete(owner, askId, *list);
    for (int row : rows)
    {
        records->erase(records->begin() + row);
        list->DeleteItem(row);
    }
    return !rows.empty();
}
// Makes row index the only selected (and the focused) row.
void SelectOnlyRow(CListWrapper* list, int index);
// The columns' widths, shown at dpi, as SetUpFilterListView takes them: in
// pixels at 96 DPI, so that a width the user set carries over to a window at
// another scale.
void StoreColumnWidths(const CListWrapper& list, int* widths, int columnCount, int dpi);
// Every column from oldDpi's width to newDpi's, after a DPI change.
void ScaleColumnWidths(CListWrapper* list, int columnCount, int oldDpi, int newDpi);

// "ＭＳ ゴシック" at 9 points for a window at dpi.
LOGFONTA GothicFont(int dpi);

// Opens menu menuId's popup at the cursor, "編集(&E)" as the default item and
// grayed unless exactly one row is selected; the chosen command, 0 for none.
int TrackEditDeleteMenu(HWND owner, int menuId, int editCommand, size_t selectedCount);
