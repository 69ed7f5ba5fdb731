#include "tests/ui/ListViewProbe.h"

#include "tests/support/UiHelper.h"

#include <commctrl.h>

std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns)
{
    std::vector<std::vector<std::string>> rows;
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
    {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column)
        {
            char text[2048] = "";
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            texts.push_back(text);
        }
        rows.push_back(texts);
    }
    return rows;
}

std::vector<int> ListViewSelection(HWND list)
{
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

void SelectListViewRows(HWND list, const std::vector<int>& rows)
{
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
}

std::vector<std::string> ListViewColumnTitles(HWND list, int columns)
{
    std::vector<std::string> titles;
    for (int column = 0; column < columns; ++column)
    {
        char text[256] = "";
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT;
        info.pszText = text;
        info.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info));
        titles.push_back(text);
    }
    return titles;
}

std::vector<int> ListViewColumnWidths(HWND list, int columns)
{
    std::vector<int> widths;
    for (int column = 0; column < columns; ++column)
        widths.push_back(ListView_GetColumnWidth(list, column));
    return widths;
}

namespace {

const int kFileNameEditId = 0x480;  // edt1 of the common dialog templates

struct CEditSearch
{
    HWND found = NULL;
};

BOOL CALLBACK FindVisibleEdit(HWND window, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpiA(className, "Edit") == 0 && IsWindowVisible(window))
    {
        reinterpret_cast<CEditSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

struct COtherBox
{
    HWND dialog;
    std::string title;
    HWND found = NULL;
};

BOOL CALLBACK FindOtherBox(HWND window, LPARAM param)
{
    COtherBox* search = reinterpret_cast<COtherBox*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (window != search->dialog && process == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetWindowTextString(window) == search->title)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FileDialogNameField(HWND dialog)
{
    HWND field = GetDlgItem(dialog, kFileNameEditId);
    if (field != NULL)
        return field;
    CEditSearch search;
    EnumChildWindows(dialog, FindVisibleEdit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void AnswerFileDialog(HWND dialog, const std::string& path, bool confirmReplace)
{
    SendMessageA(FileDialogNameField(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
    if (!confirmReplace)
        return;
    COtherBox search = {dialog, GetWindowTextString(dialog)};
    for (int wait = 0; wait < 300 && search.found == NULL; ++wait)
    {
        Sleep(30);
        EnumWindows(FindOtherBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found != NULL && WaitUntilHandled(search.found))
        PressButton(search.found, IDYES);
}
