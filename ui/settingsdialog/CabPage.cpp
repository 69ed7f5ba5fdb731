#include "ui/settingsdialog/CabPage.h"

#include "archivers/formatsettings/CabSettings.h"
#include "resources/resource.h"

namespace {

const char kDllName[] = "Cab32.dll";
const char kTestedVersion[] = "0.98";

// By position: 0 no compression, 1 MSZIP, 2 LZX.
const UINT kMethods[] = {IDS_CAB_NONE, IDS_CAB_MSZIP, IDS_CAB_LZX};

const int kLzxLowest = 15;
const int kLzxHighest = 21;
// Kilobytes; beyond 16 bits, so the up-down works with its 32-bit range.
const int kVolumeSizeLowest = 0;
const int kVolumeSizeHighest = 4194304;

const CMnemonic kMnemonics[] = {
    {'C', IDC_CAB_METHOD, false},
    {'L', IDC_CAB_LZX_LEVEL, false},
    {'M', IDC_CAB_MULTI_VOLUME, true},
    {'S', IDC_CAB_VOLUME_SIZE, false},
};

}  // namespace

HWND CCabPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_CAB_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CCabPage>);
}

INT_PTR CCabPage::OnInit()
{
    const CCabSettings& settings = g_cabSettings;
    AttachWithTooltip(m_method, m_hwnd, IDC_CAB_METHOD, IDS_TIP_CAB_METHOD);
    FillByIndex(m_method, kMethods, sizeof(kMethods) / sizeof(kMethods[0]), settings.CabMode);
    m_lzxLevel.Attach16(m_hwnd, IDC_CAB_LZX_LEVEL, IDC_CAB_LZX_LEVEL_SPIN, IDS_TIP_CAB_LZX_LEVEL,
                        CSpinField::kTooltipOnBoth, kLzxLowest, kLzxHighest, settings.LzxLevel);
    AttachWithTooltip(m_multiVolume, m_hwnd, IDC_CAB_MULTI_VOLUME, IDS_TIP_CAB_MULTI_VOLUME);
    m_multiVolume.SetCheck(settings.MultiVolume ? BST_CHECKED : BST_UNCHECKED);
    m_volumeSize.Attach32(m_hwnd, IDC_CAB_VOLUME_SIZE, IDC_CAB_VOLUME_SIZE_SPIN, IDS_TIP_CAB_VOLUME_SIZE,
                          CSpinField::kTooltipOnBoth, kVolumeSizeLowest, kVolumeSizeHighest,
                          settings.MultiVolumeSize);
    ShowVersionLines(m_hwnd, kDllName, settings.Version, kTestedVersion);
    return TRUE;
}

INT_PTR CCabPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

INT_PTR CCabPage::OnClose()
{
    CCabSettings& settings = g_cabSettings;
    settings.CabMode = StoredIndex(m_method);
    settings.LzxLevel = m_lzxLevel.Position();
    settings.MultiVolume = m_multiVolume.GetCheck() == BST_CHECKED;
    settings.MultiVolumeSize = m_volumeSize.Position();
    return 0;
}
