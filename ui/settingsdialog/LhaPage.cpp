#include "ui/settingsdialog/LhaPage.h"

#include "archivers/formatsettings/LhaSettings.h"
#include "resources/resource.h"
#include "ui/settingsdialog/FormatPageParts.h"

namespace {

const char kDllName[] = "Unlha32.dll";
const char kTestedVersion[] = "2.02";

// By position: 0 LH5, 1 LH6, 2 LH7.
const UINT kMethods[] = {IDS_LHA_LH5, IDS_LHA_LH6, IDS_LHA_LH7};
// By position: 0 DOS, 1 Windows 3.x, 2 Win32, 3 Win32 extended.
const UINT kSfxKinds[] = {IDS_LHA_SFX_DOS, IDS_LHA_SFX_WIN16, IDS_LHA_SFX_WIN32, IDS_LHA_SFX_WIN32_EXTENDED};

const CMnemonic kMnemonics[] = {
    {'C', IDC_LHA_METHOD, false},
    {'F', IDC_LHA_SFX_KIND, false},
    {'S', IDC_LHA_SFX_SETUP, true},
};

}  // namespace

HWND CLhaPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_LHA_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CLhaPage>);
}

INT_PTR CLhaPage::OnInit()
{
    const CLhaSettings& settings = g_lhaSettings;
    AttachWithTooltip(m_method, m_hwnd, IDC_LHA_METHOD, IDS_TIP_LHA_METHOD);
    FillByIndex(m_method, kMethods, sizeof(kMethods) / sizeof(kMethods[0]), settings.LhaMode);
    AttachWithTooltip(m_sfxKind, m_hwnd, IDC_LHA_SFX_KIND, IDS_TIP_LHA_SFX_KIND);
    FillByIndex(m_sfxKind, kSfxKinds, sizeof(kSfxKinds) / sizeof(kSfxKinds[0]), settings.SfxMode);
    AttachWithTooltip(m_sfxSetup, m_hwnd, IDC_LHA_SFX_SETUP, IDS_TIP_LHA_SFX_SETUP);
    m_sfxSetup.SetCheck(settings.SfxSetup ? BST_CHECKED : BST_UNCHECKED);
    ShowVersionLines(m_hwnd, kDllName, settings.Version, kTestedVersion);
    return TRUE;
}

INT_PTR CLhaPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

INT_PTR CLhaPage::OnClose()
{
    CLhaSettings& settings = g_lhaSettings;
    settings.LhaMode = StoredIndex(m_method);
    settings.SfxMode = StoredIndex(m_sfxKind);
    settings.SfxSetup = m_sfxSetup.GetCheck() == BST_CHECKED;
    return 0;
}
