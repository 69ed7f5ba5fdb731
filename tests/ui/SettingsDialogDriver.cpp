#include "tests/ui/SettingsDialogDriver.h"

#include "resources/resource.h"
#include "settings/IniFile.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "ui/framework/SettingsPage.h"

#include <commctrl.h>

#include <string.h>

namespace {

std::vector<HTREEITEM> FormatItems(HWND tree)
{
    std::vector<HTREEITEM> items;
    HTREEITEM basic = TreeView_GetRoot(tree);
    for (HTREEITEM item = basic != NULL ? TreeView_GetChild(tree, basic) : NULL; item != NULL;
         item = TreeView_GetNextSibling(tree, item))
        items.push_back(item);
    return items;
}

}  // namespace

CSettingsDialogDriver::CSettingsDialogDriver()
{
    m_window = m_dialog.Create();
    PumpMessages(100);
}

CSettingsDialogDriver::~CSettingsDialogDriver()
{
    if (m_window != NULL && !m_closed)
        Close(IDCANCEL);
}

std::vector<std::string> CSettingsDialogDriver::FormatCaptions() const
{
    HWND tree = GetDlgItem(m_window, IDC_PAGE_TREE);
    std::vector<std::string> captions;
    for (HTREEITEM item : FormatItems(tree))
        captions.push_back(TreeItemText(tree, item));
    return captions;
}

HWND CSettingsDialogDriver::ShowPage(const std::string& caption)
{
    HWND tree = GetDlgItem(m_window, IDC_PAGE_TREE);
    for (HTREEITEM item : FormatItems(tree))
    {
        if (TreeItemText(tree, item) != caption)
            continue;
        TreeView_SelectItem(tree, item);
        PumpMessages(50);
        return g_currentPageWindow;
    }
    return NULL;
}

int CSettingsDialogDriver::Close(int buttonId)
{
    m_closed = true;
    PressButton(m_window, buttonId);
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) != 0)
    {
        if (got == -1)
            return -1;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void PumpMessages(DWORD forMs)
{
    DWORD start = GetTickCount();
    do
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    } while (GetTickCount() - start < forMs);
}

std::string ComboSelection(HWND combo)
{
    LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return "(none)";
    std::vector<std::string> items = ComboItems(combo);
    return static_cast<size_t>(selected) < items.size() ? items[static_cast<size_t>(selected)] : "(bad)";
}

void ChooseComboItem(HWND page, int id, int index)
{
    HWND combo = GetDlgItem(page, id);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool IsChecked(HWND page, int id)
{
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ClickCheckBox(HWND page, int id)
{
    SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

int SpinPosition(HWND page, int spinId)
{
    return static_cast<int>(SendMessageA(GetDlgItem(page, spinId), UDM_GETPOS32, 0, 0));
}

void SetSpinPosition(HWND page, int spinId, int position)
{
    SendMessageA(GetDlgItem(page, spinId), UDM_SETPOS32, 0, position);
}

std::string StoredValue(const std::string& iniPath, const char* section, const char* key)
{
    CIniFile::FlushProfileCache(iniPath.c_str());
    char text[4096] = "";
    GetPrivateProfileStringA(section, key, "(missing)", text, sizeof(text), iniPath.c_str());
    return text;
}
