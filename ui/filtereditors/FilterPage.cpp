#include "ui/filtereditors/FilterPage.h"

#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "ui/filtereditors/FilterListEditor.h"
#include "ui/filtereditors/FilterListViews.h"
#include "ui/framework/Messages.h"

#include <utility>

namespace {

const UINT kColumnTitles[] = {IDS_COLUMN_LIST_TITLE, IDS_COLUMN_LIST_COMMENT};
const int kColumnCount = 2;

struct CButton
{
    int id;
    UINT tooltip;
};
const CButton kButtonTable[] = {
    {IDC_PAGE_ADD, IDS_TIP_PAGE_ADD}, {IDC_PAGE_DELETE, IDS_TIP_PAGE_DELETE}, {IDC_PAGE_EDIT, IDS_TIP_PAGE_EDIT},
    {IDC_PAGE_UP, IDS_TIP_PAGE_UP},   {IDC_PAGE_DOWN, IDS_TIP_PAGE_DOWN},
};

int AltLetter(char letter)
{
    return kAltLetterFirst + (letter - 'A');
}

const CMnemonic kMnemonics[] = {
    {'F', IDC_PAGE_USE_FILTER, true},
    {'L', IDC_PAGE_LISTS, false},
};

const int kCtrlA = kCtrlLetterFirst;

}  // namespace

std::unique_ptr<CSettingsPage> MakeFilterPage()
{
    return std::unique_ptr<CSettingsPage>(new CFilterPage);
}

HWND CFilterPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_FILTER_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CFilterPage>);
}

INT_PTR CFilterPage::OnInit()
{
    m_useFilter.Attach(m_hwnd, IDC_PAGE_USE_FILTER);
    m_useFilter.AddTooltip(IDS_TIP_USE_FILTER, true, kTooltipDisplayMs);
    bool anyList = !g_appSetting.FilterLists.empty();
    m_useFilter.SetCheck(anyList && g_appSetting.FilterSw ? BST_CHECKED : BST_UNCHECKED);
    m_useFilter.Enable(anyList);

    m_lists.Attach(m_hwnd, IDC_PAGE_LISTS);
    m_lists.AddTooltip(IDS_TIP_PAGE_LISTS, true, kTooltipDisplayMs);
    SetUpFilterListView(&m_lists, kColumnTitles, g_appSetting.ColumnWidths, kColumnCount, GetDpi());
    m_lists.DeleteAllItems();
    for (size_t i = 0; i < g_appSetting.FilterLists.size(); ++i)
        SetRow(static_cast<int>(i), true);

    for (int i = 0; i < kButtons; ++i)
    {
        m_buttons[i].Attach(m_hwnd, kButtonTable[i].id);
        m_buttons[i].AddTooltip(kButtonTable[i].tooltip, true, kTooltipDisplayMs);
    }
    return TRUE;
}

void CFilterPage::FollowDpi(int dpi)
{
    int oldDpi = GetDpi();
    OnDpiChanged(dpi, NULL);
    ScaleColumnWidths(&m_lists, kColumnCount, oldDpi, dpi);
}

void CFilterPage::SetRow(int index, bool insert)
{
    const CFilterList& list = g_appSetting.FilterLists[index];
    SetRowTexts(&m_lists, index, insert, {list.Title, list.Comment});
}

INT_PTR CFilterPage::OnCommand(int code, int id, HWND control)
{
    if (id == IDC_PAGE_ADD || id == AltLetter('A'))
        OnAdd();
    else if (id == IDC_PAGE_DELETE || id == AltLetter('R'))
        OnDelete();
    else if (id == IDC_PAGE_EDIT || id == AltLetter('E'))
        OnEdit();
    else if (id == IDC_PAGE_UP || id == AltLetter('U'))
        OnMove(-1);
    else if (id == IDC_PAGE_DOWN || id == AltLetter('D'))
        OnMove(1);
    else if (id == kCtrlA)
        OnSelectAll();
    else
        return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
    return TRUE;
}

INT_PTR CFilterPage::OnNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_PAGE_LISTS)
        return 0;
    if (header->code == NM_DBLCLK)
    {
        OnEdit();
    }
    else if (header->code == NM_RCLICK)
    {
        int command = TrackEditDeleteMenu(m_hwnd, IDR_FILTER_PAGE_MENU, IDC_PAGE_EDIT, SelectedRows(m_lists).size());
        if (command == IDC_PAGE_EDIT)
            OnEdit();
        else if (command == IDC_PAGE_DELETE)
            OnDelete();
    }
    return 0;
}

void CFilterPage::OnAdd()
{
    g_workingFilterList = CFilterList();
    CFilterListEditor editor;
    if (editor.Run(m_hwnd) != 1)
        return;
    g_appSetting.FilterLists.push_back(g_workingFilterList);
    SetRow(static_cast<int>(g_appSetting.FilterLists.size()) - 1, true);
    m_useFilter.Enable(true);
}

void CFilterPage::OnDelete()
{
    if (!DeleteSelectedRows(m_hwnd, IDS_ASK_DELETE_LISTS, &m_lists, &g_appSetting.FilterLists))
        return;
    if (g_appSetting.FilterLists.empty())
    {
        m_useFilter.SetCheck(BST_UNCHECKED);
        m_useFilter.Enable(false);
    }
}

void CFilterPage::OnEdit()
{
    std::vector<int> rows = SelectedRows(m_lists);
    if (rows.size() != 1)
        return;
    g_workingFilterList = g_appSetting.FilterLists[rows[0]];
    CFilterListEditor editor;
    if (editor.Run(m_hwnd) != 1)
        return;
    g_appSetting.FilterLists[rows[0]] = g_workingFilterList;
    SetRow(rows[0], false);
}

void CFilterPage::OnMove(int step)
{
    std::vector<int> rows = SelectedRows(m_lists);
    if (rows.size() != 1)
        return;
    int from = rows[0];
    int to = from + step;
    if (to < 0 || to >= static_cast<int>(g_appSetting.FilterLists.size()))
        return;
    // The working list is the exchange's temporary, as for every other change.
    g_workingFilterList = std::move(g_appSetting.FilterLists[from]);
    g_appSetting.FilterLists[from] = std::move(g_appSetting.FilterLists[to]);
    g_appSetting.FilterLists[to] = g_workingFilterList;
    SetRow(from, false);
    SetRow(to, false);
    SelectOnlyRow(&m_lists, to);
}

void CFilterPage::OnSelectAll()
{
    if (GetFocus() == m_lists.GetHwnd())
        m_lists.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

INT_PTR CFilterPage::OnClose()
{
    g_appSetting.FilterSw = m_useFilter.GetCheck() == BST_CHECKED;
    StoreColumnWidths(m_lists, g_appSetting.ColumnWidths, kColumnCount, GetDpi());
    return TRUE;
}
