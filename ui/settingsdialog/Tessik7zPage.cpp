// The Tessik7z.dll page: level, solid blocks, threads and header encryption.
#include "ui/settingsdialog/Tessik7zPage.h"

#include "archivers/formatsettings/Tessik7zSettings.h"
#include "resources/resource.h"

namespace {

const char kDllName[] = "Tessik7z.dll";

const CCheckField<CTessik7zSettings> kChecks[] = {
    {IDC_T7Z_SOLID, IDS_TIP_T7Z_SOLID, &CTessik7zSettings::Solid},
    {IDC_T7Z_ENCRYPT_HEADER, IDS_TIP_T7Z_ENCRYPT_HEADER, &CTessik7zSettings::EncryptHeader},
};

const CMnemonic kMnemonics[] = {
    {'C', IDC_T7Z_LEVEL, false},
    {'S', IDC_T7Z_SOLID, true},
    {'B', IDC_T7Z_SOLID_BLOCK, false},
    {'T', IDC_T7Z_THREADS, false},
    {'E', IDC_T7Z_ENCRYPT_HEADER, true},
};

}  // namespace

HWND CTessik7zPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_T7Z_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CTessik7zPage>);
}

INT_PTR CTessik7zPage::OnInit()
{
    const CTessik7zSettings& settings = g_tessik7zSettings;
    m_level.Attach16(m_hwnd, IDC_T7Z_LEVEL, IDC_T7Z_LEVEL_SPIN, IDS_TIP_T7Z_LEVEL, CSpinField::kTooltipOnBoth,
                     kTessik7zLowestLevel, kTessik7zHighestLevel, settings.Level);
    // A block size beyond 16 bits: up to 1048576 MiB.
    m_solidBlock.Attach32(m_hwnd, IDC_T7Z_SOLID_BLOCK, IDC_T7Z_SOLID_BLOCK_SPIN, IDS_TIP_T7Z_SOLID_BLOCK,
                          CSpinField::kTooltipOnBoth, 0, kTessik7zLargestSolidBlock, settings.SolidBlock);
    m_threads.Attach16(m_hwnd, IDC_T7Z_THREADS, IDC_T7Z_THREADS_SPIN, IDS_TIP_T7Z_THREADS,
                       CSpinField::kTooltipOnBoth, 0, kTessik7zMostThreads, settings.Threads);
    FillChecks(m_checks, kChecks, m_hwnd, settings);
    ShowDllVersionLine(m_hwnd, kDllName, settings.Version);
    return TRUE;
}

INT_PTR CTessik7zPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

INT_PTR CTessik7zPage::OnClose()
{
    CTessik7zSettings& settings = g_tessik7zSettings;
    settings.Level = m_level.Position();
    settings.SolidBlock = m_solidBlock.Position();
    settings.Threads = m_threads.Position();
    StoreChecks(m_checks, kChecks, &settings);
    return 0;
}
