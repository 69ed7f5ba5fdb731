#include "ui/settingsdialog/SevenZipPages.h"

#include "archivers/formats/Arc7ZipSfx.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "common/ShiftJis.h"
#include "resources/resource.h"
#include "ui/framework/Messages.h"

namespace {

const char kDllName[] = "7-Zip32.dll";
const char kTestedVersion[] = "4.31";

// The custom options may be longer than a path.
const int kCommandLimit = 2047;

const CValueItem kLevels[] = {{IDS_LEVEL_1, 1}, {IDS_LEVEL_5, 5}, {IDS_LEVEL_7, 7}, {IDS_LEVEL_9, 9}};

const CNamedItem kMethods[] = {
    {IDS_METHOD_COPY, "Copy"}, {IDS_METHOD_DEFLATE, "Deflate"}, {IDS_METHOD_BZIP2, "BZip2"},
    {IDS_METHOD_LZMA, "LZMA"}, {IDS_METHOD_PPMD, "PPMd"},
};

// The modules in the order they are listed; an item's value is its row here.
const CNamedItem kModules[] = {
    {IDS_SFX_7Z, "7z.sfx"},
    {IDS_SFX_7ZC, "7zC.sfx"},
    {IDS_SFX_7ZCON, "7zCon.sfx"},
    {IDS_SFX_BUILTIN, kBuiltinSfxModule},
};
const int kModuleCount = sizeof(kModules) / sizeof(kModules[0]);

const CCheckField<CSevenZipSettings> kChecks[] = {
    {IDC_7Z_SOLID, IDS_TIP_7Z_SOLID, &CSevenZipSettings::SevenZSolid},
    {IDC_7Z_HEADER_CRYPT, IDS_TIP_7Z_HEADER_CRYPT, &CSevenZipSettings::SevenZHeaderCrypt},
    {IDC_7Z_HEADER_COMP, IDS_TIP_7Z_HEADER_COMP, &CSevenZipSettings::SevenZHeaderComp},
    {IDC_7Z_HEADER_COMP_FULL, IDS_TIP_7Z_HEADER_COMP_FULL, &CSevenZipSettings::SevenZHeaderCompFull},
    {IDC_7Z_CUSTOM_USE, IDS_TIP_7Z_CUSTOM_USE, &CSevenZipSettings::SevenZCompCommandUse},
};

const CMnemonic kSevenZipMnemonics[] = {
    {'A', IDC_7Z_METHOD, false},      {'C', IDC_7Z_LEVEL, false},          {'F', IDC_7Z_SFX_MODULE, false},
    {'T', IDC_7Z_CUSTOM_COMMAND, false}, {'D', IDC_7Z_CUSTOM_USE, true},   {'E', IDC_7Z_HEADER_CRYPT, true},
    {'H', IDC_7Z_HEADER_COMP, true},  {'K', IDC_7Z_HEADER_COMP_FULL, true}, {'S', IDC_7Z_SOLID, true},
};

const CValueItem kZipLevels[] = {{IDS_LEVEL_5, 5}, {IDS_LEVEL_9, 9}};

const CNamedItem kZipMethods[] = {
    {IDS_METHOD_COPY, "Copy"},
    {IDS_METHOD_DEFLATE, "Deflate"},
    {IDS_METHOD_DEFLATE64, "Deflate64"},
    {IDS_METHOD_BZIP2, "BZip2"},
};

const int kFastBytesLowest = 3;
const int kFastBytesHighest = 255;
const int kPassesLowest = 1;
const int kPassesHighest = 4;

const CMnemonic kZipMnemonics[] = {
    {'C', IDC_7ZIP_LEVEL, false},
    {'A', IDC_7ZIP_METHOD, false},
    {'M', IDC_7ZIP_FAST_BYTES, false},
    {'P', IDC_7ZIP_PASSES, false},
};

// The edit's text, cut to limit bytes at a whole character.
std::string EditText(const CControlWrapper& edit, size_t limit)
{
    std::string text = edit.GetText();
    text.resize(WholeCharPrefixLength(text.c_str(), limit));
    return text;
}

}  // namespace

HWND CSevenZipPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_SEVENZIP_PAGE, GetResourceModule(), settingsDialog, DialogKindProc<CSevenZipPage>);
}

INT_PTR CSevenZipPage::OnInit()
{
    const CSevenZipSettings& settings = g_sevenZipSettings;
    AttachWithTooltip(m_level, m_hwnd, IDC_7Z_LEVEL, IDS_TIP_7Z_LEVEL);
    FillByValue(m_level, kLevels, sizeof(kLevels) / sizeof(kLevels[0]), settings.SevenZMode);
    AttachWithTooltip(m_method, m_hwnd, IDC_7Z_METHOD, IDS_TIP_7Z_METHOD);
    FillByName(m_method, kMethods, sizeof(kMethods) / sizeof(kMethods[0]), settings.SevenZAlgorithm);
    FillModules();
    FillChecks(m_checks, kChecks, m_hwnd, settings);

    AttachWithTooltip(m_command, m_hwnd, IDC_7Z_CUSTOM_COMMAND, IDS_TIP_7Z_CUSTOM_COMMAND);
    SendMessageA(m_command.GetHwnd(), EM_LIMITTEXT, kCommandLimit, 0);
    m_command.SetText(settings.SevenZCompCommand);

    ShowVersionLines(m_hwnd, kDllName, settings.Version, kTestedVersion);
    return TRUE;
}

void CSevenZipPage::FillModules()
{
    AttachWithTooltip(m_module, m_hwnd, IDC_7Z_SFX_MODULE, IDS_TIP_7Z_SFX_MODULE);
    m_module.ResetContent();
    m_modulesListed = GetSfxModuleCount() > 0;
    if (m_modulesListed)
    {
        for (int row = 0; row < kModuleCount; ++row)
        {
            if (IsSfxModuleAvailable(kModules[row].name))
            {
                int index = m_module.AddString(LoadResourceString(kModules[row].label).c_str(), row);
                if (index >= 0 && g_sevenZipSettings.SevenZSfx == kModules[row].name)
                    m_module.SetCurSel(index);
            }
        }
    }
    else
    {
        m_module.AddString(LoadResourceString(IDS_SFX_NONE_INSTALLED).c_str());
    }
    if (m_module.GetCurSel() < 0)
        m_module.SetCurSel(0);
}

INT_PTR CSevenZipPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kSevenZipMnemonics) ? TRUE : FALSE;
}

void CSevenZipPage::StoreModule()
{
    if (!m_modulesListed)
        return;
    int row = m_module.GetItemValue(m_module.GetCurSel());
    if (row >= 0 && row < kModuleCount)
        g_sevenZipSettings.SevenZSfx = kModules[row].name;
}

INT_PTR CSevenZipPage::OnClose()
{
    CSevenZipSettings& settings = g_sevenZipSettings;
    StoreByValue(m_level, &settings.SevenZMode);
    settings.SevenZAlgorithm = StoredName(m_method, kMethods, sizeof(kMethods) / sizeof(kMethods[0]));
    StoreModule();
    StoreChecks(m_checks, kChecks, &settings);
    settings.SevenZCompCommand = EditText(m_command, kCommandLimit);
    return 0;
}

HWND CSevenZipZipPage::Create(HWND settingsDialog)
{
    return CreateModeless(IDD_SEVENZIP_ZIP_PAGE, GetResourceModule(), settingsDialog,
                          DialogKindProc<CSevenZipZipPage>);
}

INT_PTR CSevenZipZipPage::OnInit()
{
    const CSevenZipSettings& settings = g_sevenZipSettings;
    AttachWithTooltip(m_level, m_hwnd, IDC_7ZIP_LEVEL, IDS_TIP_7ZIP_LEVEL);
    FillByValue(m_level, kZipLevels, sizeof(kZipLevels) / sizeof(kZipLevels[0]), settings.SevenZipMode);
    AttachWithTooltip(m_method, m_hwnd, IDC_7ZIP_METHOD, IDS_TIP_7ZIP_METHOD);
    FillByName(m_method, kZipMethods, sizeof(kZipMethods) / sizeof(kZipMethods[0]), settings.SevenZipAlgorithm);
    m_fastBytes.Attach16(m_hwnd, IDC_7ZIP_FAST_BYTES, IDC_7ZIP_FAST_BYTES_SPIN, IDS_TIP_7ZIP_FAST_BYTES,
                         CSpinField::kTooltipOnSpin, kFastBytesLowest, kFastBytesHighest,
                         static_cast<int>(settings.SevenZipFastBytes));
    m_passes.Attach16(m_hwnd, IDC_7ZIP_PASSES, IDC_7ZIP_PASSES_SPIN, IDS_TIP_7ZIP_PASSES, CSpinField::kTooltipOnSpin,
                      kPassesLowest, kPassesHighest, static_cast<int>(settings.SevenZipPasses));
    return TRUE;
}

INT_PTR CSevenZipZipPage::OnCommand(int code, int id, HWND control)
{
    return HandleMnemonic(m_hwnd, id, kZipMnemonics) ? TRUE : FALSE;
}

INT_PTR CSevenZipZipPage::OnClose()
{
    CSevenZipSettings& settings = g_sevenZipSettings;
    StoreByValue(m_level, &settings.SevenZipMode);
    settings.SevenZipAlgorithm = StoredName(m_method, kZipMethods, sizeof(kZipMethods) / sizeof(kZipMethods[0]));
    settings.SevenZipFastBytes = static_cast<unsigned>(m_fastBytes.Position());
    settings.SevenZipPasses = static_cast<unsigned>(m_passes.Position());
    return 0;
}
