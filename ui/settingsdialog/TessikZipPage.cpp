#include "ui/settingsdialog/TessikZipPage.h"

#include "archivers/formatsettings/TessikZipSettings.h"
#include "resources/resource.h"

namespace {

const char kDllName[] = "TessikZip.dll";

const CValueItem kMethods[] = {
    {IDS_METHOD_DEFLATE, static_cast<int>(ETessikZipMethod::Deflate)},
    {IDS_METHOD_COPY, static_cast<int>(ETessikZipMethod::Store)},
};
const CValueItem kEncryptions[] = {
    {IDS_TZIP_AES, static_cast<int>(ETessikZipEncryption::Aes)},
    {IDS_TZIP_ZIPCRYPTO, static_cast<int>(ETessikZipEncryption::ZipCrypto)},
};
const CValueItem kNames[] = {
    {IDS_TZIP_UTF8, static_cast<int>(ETessikZipNames::Utf8)},
    {IDS_TZIP_SHIFT_JIS, static_cast<int>(ETessikZipNames::ShiftJis)},
};

const CMnemonic kMnemonics[] = {
    {'C', IDC_TZIP_LEVEL, false},
    {'A', IDC_TZIP_METHOD, false},
    {'E', IDC_TZIP_ENCRYPTION, false},
    {'N', IDC_TZIP_NAMES, false},
    {'T', IDC_TZIP_THREADS, false},
};

template <class TValue>
void StoreEnum(const CComboWrapper& combo, TValue* setting)
{
    int value = static_cast<int>(*setting);
    StoreByValue(combo, &value);
    *setting = static_cast<TValue>(value);
}

}  // namespace

HWND CTessikZipPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_TZIP_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CTessikZipPage>);
}

INT_PTR CTessikZipPage::OnInit()
{
    const CTessikZipSettings& settings = g_tessikZipSettings;
    m_level.Attach16(m_hwnd, IDC_TZIP_LEVEL, IDC_TZIP_LEVEL_SPIN, IDS_TIP_TZIP_LEVEL, CSpinField::kTooltipOnBoth,
                     kTessikZipLowestLevel, kTessikZipHighestLevel, settings.Level);
    AttachWithTooltip(m_method, m_hwnd, IDC_TZIP_METHOD, IDS_TIP_TZIP_METHOD);
    FillByValue(m_method, kMethods, sizeof(kMethods) / sizeof(kMethods[0]), static_cast<int>(settings.Method));
    AttachWithTooltip(m_encryption, m_hwnd, IDC_TZIP_ENCRYPTION, IDS_TIP_TZIP_ENCRYPTION);
    FillByValue(m_encryption, kEncryptions, sizeof(kEncryptions) / sizeof(kEncryptions[0]),
                static_cast<int>(settings.Encryption));
    AttachWithTooltip(m_names, m_hwnd, IDC_TZIP_NAMES, IDS_TIP_TZIP_NAMES);
    FillByValue(m_names, kNames, sizeof(kNames) / sizeof(kNames[0]), static_cast<int>(settings.Names));
    m_threads.Attach16(m_hwnd, IDC_TZIP_THREADS, IDC_TZIP_THREADS_SPIN, IDS_TIP_TZIP_THREADS,
                       CSpinField::kTooltipOnBoth, 0, kTessikZipMostThreads, settings.Threads);
    ShowDllVersionLine(m_hwnd, kDllName, settings.Version);
    return TRUE;
}

INT_PTR CTessikZipPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

INT_PTR CTessikZipPage::OnClose()
{
    CTessikZipSettings& settings = g_tessikZipSettings;
    settings.Level = m_level.Position();
    StoreEnum(m_method, &settings.Method);
    StoreEnum(m_encryption, &settings.Encryption);
    StoreEnum(m_names, &settings.Names);
    settings.Threads = m_threads.Position();
    return 0;
}
