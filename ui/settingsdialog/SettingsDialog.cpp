#include "ui/settingsdialog/SettingsDialog.h"

#include "archivers/formats/FormatRegistry.h"
#include "archivers/formats/PageRequest.h"
#include "common/PathUtil.h"
#include "common/TextFormat.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "ui/settingsdialog/BasicPage.h"
#include "ui/filtereditors/FilterPage.h"
#include "ui/settingsdialog/FormatPages.h"
#include "ui/settingsdialog/GeneralPages.h"
#include "ui/framework/Messages.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

const char kHelpFileName[] = "tessik.chm";
// Where every page sits in the dialog's client area, in pixels at 96 DPI.
const int kPageLeft = 176;
const int kPageTop = 12;

// A builder's page request: the page it asks for goes under the basic item.
class CDialogPageRequest : public CPageRequest
{
public:
    CDialogPageRequest(CSettingsDialog* dialog, HTREEITEM parent) : m_dialog(dialog), m_parent(parent) {}

    int CreatePage(int pageKind) override
    {
        std::unique_ptr<CSettingsPage> page = MakeFormatPage(pageKind);
        if (page == nullptr)
            return 0;
        return m_dialog->AddPage(std::move(page), m_parent, Caption.c_str()) != NULL ? 1 : 0;
    }

private:
    CSettingsDialog* m_dialog;
    HTREEITEM m_parent;
};

}  // namespace

CSettingsDialog::CSettingsDialog() = default;

CSettingsDialog::~CSettingsDialog()
{
    // Pages are child windows: they go before their parent.
    m_pages.clear();
    Destroy();
}

HWND CSettingsDialog::Create()
{
    HWND window = CreateModeless(IDD_SETTINGS, GetResourceModule(), NULL, DialogKindProc<CSettingsDialog>);
    if (window != NULL)
        Show(true);
    return window;
}

INT_PTR CSettingsDialog::OnInit()
{
    m_pages.clear();
    SetIcons(IDI_PROGRAM);
    SetText(FormatText("設定  - %s", kProgramName));

    m_ok.Attach(m_hwnd, IDOK);
    m_cancel.Attach(m_hwnd, IDCANCEL);
    m_help.Attach(m_hwnd, IDC_SETTINGS_HELP);
    m_ok.AddTooltip(IDS_TIP_OK_SETTINGS, true, kTooltipDisplayMs);
    m_cancel.AddTooltip(IDS_TIP_CANCEL_SETTINGS, true, kTooltipDisplayMs);
    m_help.AddTooltip(IDS_TIP_HELP, true, kTooltipDisplayMs);
    m_tree.Attach(m_hwnd, IDC_PAGE_TREE);

    HTREEITEM basic =
        AddPage(std::unique_ptr<CSettingsPage>(new CBasicPage), TVI_ROOT, LoadResourceString(IDS_PAGE_BASIC).c_str());
    AddFormatPages(basic);
    if (basic != NULL)
        TreeView_Expand(m_tree.GetHwnd(), basic, TVE_EXPAND);
    AddPage(MakeFilterPage(), TVI_ROOT, LoadResourceString(IDS_PAGE_FILTER).c_str());
    AddPage(std::unique_ptr<CSettingsPage>(new CShellExtPage), TVI_ROOT,
            LoadResourceString(IDS_PAGE_SHELLEXT).c_str());
    AddPage(std::unique_ptr<CSettingsPage>(new CVersionPage), TVI_ROOT, LoadResourceString(IDS_PAGE_VERSION).c_str());

    PlacePages();
    if (basic != NULL)
    {
        m_tree.SelectItem(basic);
        ShowPage(basic);
    }
    MoveToStoredPosition(g_appSetting.WindowLeft, g_appSetting.WindowTop);
    return TRUE;
}

void CSettingsDialog::PlacePages()
{
    for (const auto& entry : m_pages)
        SetWindowPos(entry.second->GetHwnd(), NULL, ScaleForDpi(kPageLeft, GetDpi()), ScaleForDpi(kPageTop, GetDpi()),
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CSettingsDialog::OnDpiChanged(int dpi, const RECT* suggested)
{
    CDialogBase::OnDpiChanged(dpi, suggested);
    for (const auto& entry : m_pages)
        entry.second->FollowDpi(dpi);
    PlacePages();
    return TRUE;
}

void CSettingsDialog::AddFormatPages(HTREEITEM basicItem)
{
    if (basicItem == NULL)
        return;
    for (const auto& entry : GetFormatRegistry())
    {
        CArc* format = entry.second.get();
        if (!format->IsUsed())
            continue;
        for (int index = 0; index < format->GetPageCount(); ++index)
        {
            CDialogPageRequest request(this, basicItem);
            format->CreatePage(&request, index);
        }
    }
}

HTREEITEM CSettingsDialog::AddPage(std::unique_ptr<CSettingsPage> page, HTREEITEM parent, const char* caption)
{
    if (page == nullptr || page->Create(m_hwnd) == NULL)
        return NULL;
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(caption);
    HTREEITEM item = m_tree.InsertItem(insert);
    if (item == NULL)
    {
        page->Destroy();
        return NULL;
    }
    m_pages[item] = std::move(page);
    return item;
}

void CSettingsDialog::ShowPage(HTREEITEM item)
{
    auto shown = m_pages.find(item);
    if (shown == m_pages.end())
        return;
    for (const auto& entry : m_pages)
    {
        if (entry.first != item)
            entry.second->Show(false);
    }
    shown->second->Show(true);
    g_currentPageWindow = shown->second->GetHwnd();
}

INT_PTR CSettingsDialog::OnNotify(const NMHDR* header)
{
    if (header->idFrom == IDC_PAGE_TREE && (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW))
        ShowPage(reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem);
    return 0;
}

INT_PTR CSettingsDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDOK:
        CloseWith(kSettingsSaved);
        return TRUE;
    case IDCANCEL:
        CloseWith(kSettingsDiscarded);
        return TRUE;
    case IDC_SETTINGS_HELP:
        OnHelp();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CSettingsDialog::OnClose()
{
    CloseWith(kSettingsDiscarded);
    return TRUE;
}

void CSettingsDialog::OnHelp()
{
    char folder[kPathBufferSize] = "";
    GetModuleFolder(folder, sizeof(folder));
    std::string help = FormatText("%s\\%s", folder, kHelpFileName);
    HINSTANCE result = ShellExecuteA(m_hwnd, NULL, help.c_str(), NULL, NULL, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        ShowErrorMessage(m_hwnd, IDS_HELP_NOT_OPENED);
}

void CSettingsDialog::CloseWith(int result)
{
    if (m_hwnd == NULL)
        return;
    GetNormalPosition(&g_appSetting.WindowLeft, &g_appSetting.WindowTop);
    // The pages store their controls before the quit message is posted: a
    // message a page shows on the way must not meet that message in its own
    // loop, which would end it unseen.
    for (auto& entry : m_pages)
        SendMessageA(entry.second->GetHwnd(), WM_CLOSE, 0, 0);
    for (auto& entry : m_pages)
        entry.second->Destroy();
    m_pages.clear();
    g_currentPageWindow = NULL;
    Destroy();
    PostQuitMessage(result);
}
