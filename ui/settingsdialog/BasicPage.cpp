#include "ui/settingsdialog/BasicPage.h"

#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/ShiftJis.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "ui/framework/Messages.h"

#include <ctype.h>
#include <string.h>

namespace {

// The check boxes, each with the switch of g_appSetting it shows.
struct CCheckBox
{
    int id;
    UINT tooltip;
    bool CAppSetting::*setting;
};

const CCheckBox kCheckBoxTable[] = {
    {IDC_REMEMBER_FORMAT, IDS_TIP_REMEMBER_FORMAT, &CAppSetting::CmpTypeDefault},
    {IDC_STATUS_DIALOG, IDS_TIP_STATUS_DIALOG, &CAppSetting::StatusDialog},
    {IDC_QUICK_START, IDS_TIP_QUICK_START, &CAppSetting::QuickStart},
    {IDC_ALWAYS_RESULT, IDS_TIP_ALWAYS_RESULT, &CAppSetting::AllwaysResult},
    {IDC_EXIT_AFTER, IDS_TIP_EXIT_AFTER, &CAppSetting::CmpEndExit},
    {IDC_OPEN_OUTPUT_FOLDER, IDS_TIP_OPEN_FOLDER, &CAppSetting::OutFolderOpen},
    {IDC_AUTO_COMPLETE, IDS_TIP_AUTO_COMPLETE, &CAppSetting::AutoComplete},
    {IDC_VERIFY_ARCHIVE, IDS_TIP_VERIFY_ARCHIVE, &CAppSetting::VerifyArchive},
    {IDC_USE_OUTPUT_FOLDER, IDS_TIP_USE_OUTPUT_FOLDER, &CAppSetting::OutFolderSw},
};
const size_t kCheckBoxCount = sizeof(kCheckBoxTable) / sizeof(kCheckBoxTable[0]);

// The overwrite combo's items in order: the item index is the action's value.
const UINT kOverwriteItems[] = {IDS_OVERWRITE_ASK, IDS_OVERWRITE_ALWAYS, IDS_OVERWRITE_APPEND, IDS_OVERWRITE_RENAME};

const CMnemonic kMnemonics[] = {
    {'D', IDC_DEFAULT_FORMAT, false},  {'C', IDC_REMEMBER_FORMAT, true}, {'W', IDC_OVERWRITE_ACTION, false},
    {'S', IDC_STATUS_DIALOG, true},    {'Q', IDC_QUICK_START, true},     {'L', IDC_ALWAYS_RESULT, true},
    {'E', IDC_EXIT_AFTER, true},       {'O', IDC_OPEN_OUTPUT_FOLDER, true}, {'A', IDC_AUTO_COMPLETE, true},
    {'F', IDC_OUTPUT_FOLDER, false},   {'U', IDC_USE_OUTPUT_FOLDER, true},
};

// A drive alone ("C:") is shown as its root.
void FolderForDisplay(const std::string& stored, char* text, size_t size)
{
    CopyAtWholeChars(stored.c_str(), text, size);
    size_t length = strlen(text);
    if (length == 2 && text[1] == ':' && length + 1 < size)
        strcat(text, "\\");
}

bool StartsWithDrive(const char* text)
{
    return isascii(static_cast<unsigned char>(text[0])) && isalpha(static_cast<unsigned char>(text[0])) &&
           text[1] == ':';
}

}  // namespace

HWND CBasicPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_BASIC_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CBasicPage>);
}

INT_PTR CBasicPage::OnInit()
{
    // A row added to the table without a wrapper would be written past the array.
    static_assert(sizeof(m_checks) / sizeof(m_checks[0]) == kCheckBoxCount, "one wrapper per check box");
    FillFormats();
    FillOverwriteActions();
    for (size_t i = 0; i < kCheckBoxCount; ++i)
    {
        m_checks[i].Attach(m_hwnd, kCheckBoxTable[i].id);
        m_checks[i].AddTooltip(kCheckBoxTable[i].tooltip, true, kTooltipDisplayMs);
        m_checks[i].SetCheck(g_appSetting.*kCheckBoxTable[i].setting ? BST_CHECKED : BST_UNCHECKED);
    }

    m_outputFolder.Attach(m_hwnd, IDC_OUTPUT_FOLDER);
    m_outputFolder.AddTooltip(IDS_TIP_OUTPUT_FOLDER, true, kTooltipDisplayMs);
    SendMessageA(m_outputFolder.GetHwnd(), EM_LIMITTEXT, kPathBufferSize - 1, 0);
    char folder[kPathBufferSize];
    FolderForDisplay(g_appSetting.OutFolder, folder, sizeof(folder));
    m_outputFolder.SetText(folder);

    m_browse.Attach(m_hwnd, IDC_BROWSE_FOLDER);
    m_browse.AddTooltip(IDS_TIP_BROWSE_FOLDER, true, kTooltipDisplayMs);
    m_browse.SetIcon(IDI_BROWSE);
    return TRUE;
}

void CBasicPage::FillFormats()
{
    m_defaultFormat.Attach(m_hwnd, IDC_DEFAULT_FORMAT);
    m_defaultFormat.AddTooltip(IDS_TIP_DEFAULT_FORMAT, true, kTooltipDisplayMs);
    m_defaultFormat.ResetContent();
    for (const auto& entry : GetFormatRegistry())
    {
        if (entry.second->IsUsed())
            m_defaultFormat.AddString(entry.second->GetDisplayName(), entry.first);
    }
    CArc* current = FindFormat(g_appSetting.DefaultArcType);
    if (current != nullptr)
        m_defaultFormat.SelectString(current->GetDisplayName());
}

void CBasicPage::FillOverwriteActions()
{
    m_overwriteAction.Attach(m_hwnd, IDC_OVERWRITE_ACTION);
    m_overwriteAction.AddTooltip(IDS_TIP_OVERWRITE_ACTION, true, kTooltipDisplayMs);
    m_overwriteAction.ResetContent();
    for (UINT item : kOverwriteItems)
        m_overwriteAction.AddString(LoadResourceString(item).c_str());
    m_overwriteAction.SetCurSel(g_appSetting.OverWriteAction);
}

INT_PTR CBasicPage::OnCommand(int code, int id, HWND control)
{
    if (id == IDC_BROWSE_FOLDER)
    {
        OnBrowse();
        return TRUE;
    }
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

void CBasicPage::OnBrowse()
{
    char folder[kPathBufferSize] = "";
    if (BrowseForFolder(m_hwnd, LoadResourceString(IDS_BROWSE_FOLDER_TITLE).c_str(), folder, sizeof(folder)))
        m_outputFolder.SetText(folder);
}

void CBasicPage::FollowDpi(int dpi)
{
    OnDpiChanged(dpi, NULL);
    m_browse.SetIcon(IDI_BROWSE, dpi);
}

INT_PTR CBasicPage::OnClose()
{
    // Everything is settled in a copy first: the record changes at once, after
    // any message has been answered.
    CAppSetting setting = g_appSetting;
    int formatId = m_defaultFormat.GetItemValue(m_defaultFormat.GetCurSel());
    if (m_defaultFormat.GetCurSel() >= 0 && formatId != kNoFormat)
        setting.DefaultArcType = formatId;
    for (size_t i = 0; i < kCheckBoxCount; ++i)
        setting.*kCheckBoxTable[i].setting = m_checks[i].GetCheck() == BST_CHECKED;
    // A stored action outside the list leaves the list without selection; it
    // is then kept rather than replaced by no action at all.
    if (m_overwriteAction.GetCurSel() >= 0)
        setting.OverWriteAction = m_overwriteAction.GetCurSel();

    char folder[kPathBufferSize] = "";
    m_outputFolder.GetText(folder, sizeof(folder));
    RemoveTrailingBackslash(folder);
    if (StartsWithDrive(folder))
    {
        setting.OutFolder = folder;
    }
    else if (setting.OutFolderSw)
    {
        ShowErrorMessage(m_hwnd, IDS_OUTPUT_FOLDER_INVALID);
        setting.OutFolder.clear();
        setting.OutFolderSw = false;
    }
    g_appSetting = setting;
    return TRUE;
}
