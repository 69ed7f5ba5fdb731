#include "ui/filtereditors/FilterDefEditor.h"

#include "common/PathUtil.h"
#include "resources/resource.h"
#include "ui/filtereditors/FilterListViews.h"
#include "ui/framework/Messages.h"
#include "ui/framework/SettingsPage.h"

CFilterDef g_workingFilterDef;

namespace {

// The two switches cannot both be on: the one clicked wins, with these words.
const char kRegexTurnedOff[] =
    "\"正規表現\"と\"半角英字の大文字・小文字を区別\"を同時に有効にすることはできません。";
const char kAlphabetBSTurnedOff[] =
    "\"半角英字の大文字・小文字を区別\"と\"正規表現\"の同時に有効にすることはできません。";

const CMnemonic kMnemonics[] = {
    {'A', IDC_DEF_ALPHABET_BS, true}, {'R', IDC_DEF_REGEX, true},  {'C', IDC_DEF_COMMENT, false},
    {'F', IDC_DEF_PATTERN, false},    {'T', IDC_DEF_TARGET, false},
};

}  // namespace

INT_PTR CFilterDefEditor::Run(HWND owner)
{
    CCurrentPageScope scope;
    INT_PTR result = RunModal(IDD_FILTER_DEF_EDITOR, GetResourceModule(), owner, DialogKindProc<CFilterDefEditor>);
    return result == 1 ? 1 : 2;
}

INT_PTR CFilterDefEditor::OnInit()
{
    g_currentPageWindow = m_hwnd;

    m_target.Attach(m_hwnd, IDC_DEF_TARGET);
    m_target.AddTooltip(IDS_TIP_DEF_TARGET, true, kTooltipDisplayMs);
    m_target.ResetContent();
    m_target.AddString(LoadResourceString(IDS_TYPE_EXTENSION).c_str(), kFilterTypeExtension);
    m_target.AddString(LoadResourceString(IDS_TARGET_FILE_NAME).c_str(), kFilterTypeFileName);
    m_target.SelectByValue(g_workingFilterDef.Type);

    m_pattern.Attach(m_hwnd, IDC_DEF_PATTERN);
    m_pattern.AddTooltip(IDS_TIP_DEF_PATTERN, true, kTooltipDisplayMs);
    m_pattern.SetFont(GothicFont(GetDpi()), true);
    // One byte is kept for the dot an extension pattern may get, so that the
    // stored pattern still fits the settings file's 1023-byte values.
    SendMessageA(m_pattern.GetHwnd(), EM_LIMITTEXT, kPathBufferSize - 2, 0);
    m_pattern.SetText(g_workingFilterDef.Filter);

    m_comment.Attach(m_hwnd, IDC_DEF_COMMENT);
    m_comment.AddTooltip(IDS_TIP_DEF_COMMENT, true, kTooltipDisplayMs);
    SendMessageA(m_comment.GetHwnd(), EM_LIMITTEXT, kPathBufferSize - 1, 0);
    m_comment.SetText(g_workingFilterDef.Comment);

    m_alphabetBS.Attach(m_hwnd, IDC_DEF_ALPHABET_BS);
    m_alphabetBS.AddTooltip(IDS_TIP_DEF_ALPHABET_BS, true, kTooltipDisplayMs);
    m_alphabetBS.SetCheck(g_workingFilterDef.AlphabetBS ? BST_CHECKED : BST_UNCHECKED);
    m_regex.Attach(m_hwnd, IDC_DEF_REGEX);
    m_regex.AddTooltip(IDS_TIP_DEF_REGEX, true, kTooltipDisplayMs);
    m_regex.SetCheck(g_workingFilterDef.Regex ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

INT_PTR CFilterDefEditor::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDOK:
        OnOk();
        return TRUE;
    case IDCANCEL:
        EndModal(2);
        return TRUE;
    case IDC_DEF_ALPHABET_BS:
    case IDC_DEF_REGEX:
        if (code == BN_CLICKED)
            OnSwitchClicked(id);
        return TRUE;
    }
    return HandleMnemonic(m_hwnd, id, kMnemonics) ? TRUE : FALSE;
}

void CFilterDefEditor::OnSwitchClicked(int id)
{
    CButtonWrapper& other = id == IDC_DEF_ALPHABET_BS ? m_regex : m_alphabetBS;
    if (other.GetCheck() != BST_CHECKED)
        return;
    MessageBoxA(m_hwnd, id == IDC_DEF_ALPHABET_BS ? kRegexTurnedOff : kAlphabetBSTurnedOff, kInfoTitle,
                MB_OK | MB_ICONINFORMATION);
    other.SetCheck(BST_UNCHECKED);
}

void CFilterDefEditor::OnOk()
{
    // A stored type outside the choices leaves the combo box without a
    // selection; it is then kept as it was.
    int type = m_target.GetCurSel() >= 0 ? m_target.GetItemValue(m_target.GetCurSel()) : g_workingFilterDef.Type;
    std::string pattern = m_pattern.GetText(kPathBufferSize);
    if (pattern.empty())
    {
        ShowErrorMessage(m_hwnd, IDS_DEF_PATTERN_EMPTY);
        return;
    }
    if (type == kFilterTypeExtension && pattern[0] != '.')
        pattern.insert(0, ".");
    g_workingFilterDef.Type = type;
    g_workingFilterDef.Filter = pattern;
    g_workingFilterDef.Comment = m_comment.GetText(kPathBufferSize);
    g_workingFilterDef.AlphabetBS = m_alphabetBS.GetCheck() == BST_CHECKED;
    g_workingFilterDef.Regex = m_regex.GetCheck() == BST_CHECKED;
    EndModal(1);
}

INT_PTR CFilterDefEditor::OnDpiChanged(int dpi, const RECT* suggested)
{
    CDialogBase::OnDpiChanged(dpi, suggested);
    m_pattern.SetFont(GothicFont(dpi), true);
    return TRUE;
}

INT_PTR CFilterDefEditor::OnClose()
{
    EndModal(2);
    return TRUE;
}
