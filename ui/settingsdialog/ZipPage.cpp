#include "ui/settingsdialog/ZipPage.h"

#include "archivers/formatsettings/ZipSettings.h"
#include "resources/resource.h"

namespace {

const char kDllName[] = "Zip32j.dll";
const char kTestedVersion[] = "0.37";

const int kLevelLowest = 0;
const int kLevelHighest = 9;

const CCheckField<CZipSettings> kChecks[] = {
    {IDC_ZIP_CRLF_TO_LF, IDS_TIP_ZIP_CRLF_TO_LF, &CZipSettings::Crlf2Lf},
    {IDC_ZIP_LF_TO_CRLF, IDS_TIP_ZIP_LF_TO_CRLF, &CZipSettings::Lf2Crlf},
};

const CMnemonic kMnemonics[] = {
    {'C', IDC_ZIP_LEVEL, false},
    {'U', IDC_ZIP_CRLF_TO_LF, true},
    {'W', IDC_ZIP_LF_TO_CRLF, true},
};

}  // namespace

HWND CZipPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_ZIP_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CZipPage>);
}

INT_PTR CZipPage::OnInit()
{
    const CZipSettings& settings = g_zipSettings;
    m_level.Attach16(m_hwnd, IDC_ZIP_LEVEL, IDC_ZIP_LEVEL_SPIN, IDS_TIP_ZIP_LEVEL, CSpinField::kTooltipOnBoth,
                     kLevelLowest, kLevelHighest, settings.ZipMode);
    FillChecks(m_checks, kChecks, m_hwnd, settings);
    ShowVersionLines(m_hwnd, kDllName, settings.Version, kTestedVersion);
    return TRUE;
}

INT_PTR CZipPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

INT_PTR CZipPage::OnClose()
{
    CZipSettings& settings = g_zipSettings;
    settings.ZipMode = m_level.Position();
    StoreChecks(m_checks, kChecks, &settings);
    return 0;
}
