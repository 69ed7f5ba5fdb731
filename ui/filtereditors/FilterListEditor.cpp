#include "ui/filtereditors/FilterListEditor.h"

#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "ui/filtereditors/FilterDefEditor.h"
#include "ui/filtereditors/FilterListFileDialogs.h"
#include "ui/filtereditors/FilterListViews.h"
#include "ui/filtereditors/FilterPreviewDialog.h"
#include "ui/framework/Messages.h"
#include "ui/framework/SettingsPage.h"

CFilterList g_workingFilterList;

namespace {

const char kNoExtensionPattern[] = ".";
const UINT kColumnTitles[] = {IDS_COLUMN_DEF_TYPE, IDS_COLUMN_DEF_PATTERN, IDS_COLUMN_DEF_COMMENT};
const int kColumnCount = 3;
// The editor's columns follow the page's two in CAppSetting::ColumnWidths.
const int kFirstWidth = 2;

struct CButton
{
    int id;
    UINT tooltip;
};
const CButton kButtonTable[] = {
    {IDC_LIST_ADD, IDS_TIP_DEF_ADD},          {IDC_LIST_DELETE, IDS_TIP_DEF_DELETE},
    {IDC_LIST_EDIT, IDS_TIP_DEF_EDIT},        {IDC_LIST_IMPORT, IDS_TIP_LIST_IMPORT},
    {IDC_LIST_EXPORT, IDS_TIP_LIST_EXPORT},   {IDC_LIST_PREVIEW, IDS_TIP_LIST_PREVIEW},
};

// Only the two file commands are keyboard commands of the editor; its other
// labels act through the dialog's own mnemonics.
const int kAltI = kAltLetterFirst + ('I' - 'A');
const int kAltX = kAltLetterFirst + ('X' - 'A');
const int kAltP = kAltLetterFirst + ('P' - 'A');

}  // namespace

std::vector<std::string> DefinitionRowTexts(const CFilterDef& definition)
{
    std::string type;
    if (definition.Type == kFilterTypeExtension)
        type = LoadResourceString(IDS_TYPE_EXTENSION);
    else if (definition.Type == kFilterTypeFileName)
        type = LoadResourceString(IDS_TYPE_FILE_NAME);
    std::string pattern = definition.Filter;
    if (definition.Type == kFilterTypeExtension && pattern == kNoExtensionPattern && !definition.Regex)
        pattern += LoadResourceString(IDS_NO_EXTENSION);
    return {type, pattern, definition.Comment};
}

INT_PTR CFilterListEditor::Run(HWND owner)
{
    CCurrentPageScope scope;
    INT_PTR result =
        RunModal(IDD_FILTER_LIST_EDITOR, GetResourceModule(), owner, DialogKindProc<CFilterListEditor>);
    return result == 1 ? 1 : 2;
}

INT_PTR CFilterListEditor::OnInit()
{
    g_currentPageWindow = m_hwnd;

    m_title.Attach(m_hwnd, IDC_LIST_TITLE);
    m_title.AddTooltip(IDS_TIP_LIST_TITLE, true, kTooltipDisplayMs);
    SendMessageA(m_title.GetHwnd(), EM_LIMITTEXT, kPathBufferSize - 1, 0);
    m_comment.Attach(m_hwnd, IDC_LIST_COMMENT);
    m_comment.AddTooltip(IDS_TIP_LIST_COMMENT, true, kTooltipDisplayMs);
    SendMessageA(m_comment.GetHwnd(), EM_LIMITTEXT, kPathBufferSize - 1, 0);

    m_definitions.Attach(m_hwnd, IDC_LIST_DEFINITIONS);
    m_definitions.AddTooltip(IDS_TIP_LIST_DEFINITIONS, true, kTooltipDisplayMs);
    m_definitions.SetFont(GothicFont(GetDpi()), true);
    SetUpFilterListView(&m_definitions, kColumnTitles, g_appSetting.ColumnWidths + kFirstWidth, kColumnCount,
                        GetDpi());

    for (int i = 0; i < kButtons; ++i)
    {
        m_buttons[i].Attach(m_hwnd, kButtonTable[i].id);
        m_buttons[i].AddTooltip(kButtonTable[i].tooltip, true, kTooltipDisplayMs);
    }

    m_action.Attach(m_hwnd, IDC_LIST_ACTION);
    m_action.AddTooltip(IDS_TIP_LIST_ACTION, true, kTooltipDisplayMs);
    m_action.ResetContent();
    m_action.AddString(LoadResourceString(IDS_ACTION_EXCLUDE).c_str(), kFilterActExclude);
    m_action.AddString(LoadResourceString(IDS_ACTION_ONLY).c_str(), kFilterActOnly);
    m_gitIgnore.Attach(m_hwnd, IDC_LIST_GITIGNORE);
    m_gitIgnore.AddTooltip(IDS_TIP_LIST_GITIGNORE, true, kTooltipDisplayMs);
    Fill();
    return TRUE;
}

void CFilterListEditor::Fill()
{
    m_title.SetText(g_workingFilterList.Title);
    m_comment.SetText(g_workingFilterList.Comment);
    m_definitions.DeleteAllItems();
    int row = 0;
    for (const CFilterDef& definition : g_workingFilterList.Definitions)
        SetRowTexts(&m_definitions, row++, true, DefinitionRowTexts(definition));
    m_action.SetCurSel(-1);
    m_action.SelectByValue(g_workingFilterList.ActType);
    m_gitIgnore.SetCheck(g_workingFilterList.GitIgnore ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CFilterListEditor::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDC_LIST_ADD:
        OnAdd();
        return TRUE;
    case IDC_LIST_DELETE:
        OnDelete();
        return TRUE;
    case IDC_LIST_EDIT:
        OnEdit();
        return TRUE;
    case IDC_LIST_IMPORT:
    case kAltI:
        OnImport();
        return TRUE;
    case IDC_LIST_EXPORT:
    case kAltX:
        OnExport();
        return TRUE;
    case IDC_LIST_PREVIEW:
    case kAltP:
        OnPreview();
        return TRUE;
    case IDOK:
        OnOk();
        return TRUE;
    case IDCANCEL:
        End(2);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CFilterListEditor::OnNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_LIST_DEFINITIONS)
        return 0;
    if (header->code == NM_DBLCLK)
    {
        OnEdit();
    }
    else if (header->code == NM_RCLICK)
    {
        int command = TrackEditDeleteMenu(m_hwnd, IDR_FILTER_LIST_MENU, IDC_LIST_EDIT,
                                          SelectedRows(m_definitions).size());
        if (command == IDC_LIST_EDIT)
            OnEdit();
        else if (command == IDC_LIST_DELETE)
            OnDelete();
    }
    return 0;
}

void CFilterListEditor::OnAdd()
{
    g_workingFilterDef = CFilterDef();
    CFilterDefEditor editor;
    if (editor.Run(m_hwnd) != 1)
        return;
    g_workingFilterList.Definitions.push_back(g_workingFilterDef);
    int row = static_cast<int>(g_workingFilterList.Definitions.size()) - 1;
    SetRowTexts(&m_definitions, row, true, DefinitionRowTexts(g_workingFilterDef));
}

void CFilterListEditor::OnDelete()
{
    DeleteSelectedRows(m_hwnd, IDS_ASK_DELETE_DEFINITIONS, &m_definitions, &g_workingFilterList.Definitions);
}

void CFilterListEditor::OnEdit()
{
    std::vector<int> rows = SelectedRows(m_definitions);
    if (rows.size() != 1)
        return;
    CFilterDef& definition = g_workingFilterList.Definitions[rows[0]];
    g_workingFilterDef = definition;
    CFilterDefEditor editor;
    if (editor.Run(m_hwnd) != 1)
        return;
    definition = g_workingFilterDef;
    SetRowTexts(&m_definitions, rows[0], false, DefinitionRowTexts(definition));
}

bool CFilterListEditor::StoreEdits()
{
    std::string title = m_title.GetText(kPathBufferSize);
    if (title.empty())
        return false;
    g_workingFilterList.Title = title;
    g_workingFilterList.Comment = m_comment.GetText(kPathBufferSize);
    // An action read from a file that is neither choice selects nothing and is kept.
    if (m_action.GetCurSel() >= 0)
        g_workingFilterList.ActType = m_action.GetItemValue(m_action.GetCurSel());
    g_workingFilterList.GitIgnore = m_gitIgnore.GetCheck() == BST_CHECKED;
    return true;
}

void CFilterListEditor::OnExport()
{
    StoreEdits();
    ExportFilterList(m_hwnd, g_workingFilterList);
}

void CFilterListEditor::OnImport()
{
    StoreEdits();
    if (ImportFilterList(m_hwnd, &g_workingFilterList))
        Fill();
}

void CFilterListEditor::OnPreview()
{
    char folder[kPathBufferSize] = "";
    if (!BrowseForFolder(m_hwnd, LoadResourceString(IDS_PREVIEW_FOLDER_TITLE).c_str(),
                         g_appSetting.PreviewFolder.c_str(), folder, sizeof(folder)))
        return;
    g_appSetting.PreviewFolder = folder;

    // The list as the fields show it now; the working list itself changes
    // only through the editor's own rules (an empty title is not taken).
    CCompressJob job;
    job.Setting.FilterSw = true;
    CFilterList list = g_workingFilterList;
    list.Title = m_title.GetText(kPathBufferSize);
    if (m_action.GetCurSel() >= 0)
        list.ActType = m_action.GetItemValue(m_action.GetCurSel());
    list.GitIgnore = m_gitIgnore.GetCheck() == BST_CHECKED;
    job.Setting.FilterLists.push_back(list);
    job.FilterListIndex = 0;
    CFilterPreviewDialog preview(job, {AnsiToWide(folder)});
    preview.Run(m_hwnd);
}

void CFilterListEditor::OnOk()
{
    if (!StoreEdits())
    {
        ShowErrorMessage(m_hwnd, IDS_LIST_TITLE_EMPTY);
        return;
    }
    End(1);
}

void CFilterListEditor::End(INT_PTR result)
{
    StoreColumnWidths(m_definitions, g_appSetting.ColumnWidths + kFirstWidth, kColumnCount, GetDpi());
    EndModal(result);
}

INT_PTR CFilterListEditor::OnDpiChanged(int dpi, const RECT* suggested)
{
    int oldDpi = GetDpi();
    CDialogBase::OnDpiChanged(dpi, suggested);
    m_definitions.SetFont(GothicFont(dpi), true);
    ScaleColumnWidths(&m_definitions, kColumnCount, oldDpi, dpi);
    return TRUE;
}

INT_PTR CFilterListEditor::OnClose()
{
    End(2);
    return TRUE;
}
