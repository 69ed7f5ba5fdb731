#include "ui/settingsdialog/GeneralPages.h"

#include "common/PathUtil.h"
#include "common/TextFormat.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "ui/framework/Messages.h"

#include <shellapi.h>

const char kProgramVersion[] = TESSIK_VERSION_TEXT;
const char kRightsNotice[] = TESSIK_RIGHTS_NOTICE;
// The project has no public site yet: the reserved ".example" names cannot be
// mistaken for anybody's real address.
const char kHomePageAddress[] = "https://tessik.norvane.example/";
const char kMailAddress[] = "tessik@norvane.example";

namespace {

const char kInstallerName[] = "tessikshlex_install.exe";
const char kMailPrefix[] = "mailto:";
// The version page's address tooltips stay up a shorter time than the others.
const int kAddressTooltipMs = 10000;

}  // namespace

HWND CShellExtPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_SHELLEXT_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CShellExtPage>);
}

INT_PTR CShellExtPage::OnInit()
{
    SetDlgItemTextA(m_hwnd, IDC_SHELLEXT_TEXT, LoadResourceString(IDS_SHELLEXT_TEXT).c_str());
    m_installer.Attach(m_hwnd, IDC_INSTALLER);
    m_installer.AddTooltip(IDS_TIP_INSTALLER, true, kTooltipDisplayMs);
    return TRUE;
}

INT_PTR CShellExtPage::OnCommand(int code, int id, HWND control)
{
    if (id != IDC_INSTALLER)
        return FALSE;
    // The installer reports for itself; a missing one is simply not started.
    char folder[kPathBufferSize];
    if (GetModuleFolder(folder, sizeof(folder)))
        ShellExecuteA(NULL, NULL, FormatText("%s\\%s", folder, kInstallerName).c_str(), NULL, NULL, SW_SHOWNORMAL);
    return TRUE;
}

HWND CVersionPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_VERSION_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CVersionPage>);
}

INT_PTR CVersionPage::OnInit()
{
    SetDlgItemTextA(m_hwnd, IDC_VERSION_TEXT, FormatText("%s Ver.%s", kProgramName, kProgramVersion).c_str());
    SetDlgItemTextA(m_hwnd, IDC_RIGHTS_TEXT, kRightsNotice);
    m_homePage.Attach(m_hwnd, IDC_HOME_PAGE);
    m_homePage.SetText(kHomePageAddress);
    m_homePage.AddTooltip(kHomePageAddress, true, kAddressTooltipMs);
    m_mail.Attach(m_hwnd, IDC_MAIL);
    m_mail.SetText(kMailAddress);
    m_mail.AddTooltip(kMailAddress, true, kAddressTooltipMs);
    return TRUE;
}

INT_PTR CVersionPage::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDC_HOME_PAGE:
        ShellExecuteA(m_hwnd, NULL, kHomePageAddress, NULL, NULL, SW_SHOWNORMAL);
        return TRUE;
    case IDC_MAIL:
        ShellExecuteA(m_hwnd, NULL, FormatText("%s%s", kMailPrefix, kMailAddress).c_str(), NULL, NULL,
                      SW_SHOWNORMAL);
        return TRUE;
    }
    return FALSE;
}
