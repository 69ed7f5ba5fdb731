#include "ui/settingsdialog/FormatPageParts.h"

#include "common/TextFormat.h"
#include "resources/resource.h"
#include "ui/framework/Messages.h"

std::string DllVersionLine(const char* dllName, unsigned version)
{
    if (version == 0)
        return FormatResourceString(IDS_DLL_NOT_INSTALLED, dllName);
    std::string format = LoadResourceString(IDS_DLL_VERSION);
    return FormatText(format.c_str(), dllName, static_cast<int>(version / 100), static_cast<int>(version % 100));
}

std::string TestedVersionLine(const char* testedVersion)
{
    return FormatResourceString(IDS_TESTED_VERSION, testedVersion);
}

void ShowDllVersionLine(HWND page, const char* dllName, unsigned version)
{
    SetDlgItemTextA(page, IDC_DLL_VERSION, DllVersionLine(dllName, version).c_str());
}

void ShowVersionLines(HWND page, const char* dllName, unsigned version, const char* testedVersion)
{
    ShowDllVersionLine(page, dllName, version);
    SetDlgItemTextA(page, IDC_TESTED_VERSION, TestedVersionLine(testedVersion).c_str());
}

void AttachWithTooltip(CControlWrapper& control, HWND page, int id, UINT tooltip)
{
    control.Attach(page, id);
    control.AddTooltip(tooltip, true, kTooltipDisplayMs);
}

void FillByValue(CComboWrapper& combo, const CValueItem* items, size_t count, int stored)
{
    combo.ResetContent();
    for (size_t i = 0; i < count; ++i)
        combo.AddString(LoadResourceString(items[i].label).c_str(), items[i].value);
    combo.SelectByValue(stored);
}

void StoreByValue(const CComboWrapper& combo, int* setting)
{
    int selected = combo.GetCurSel();
    if (selected >= 0 && selected < combo.GetItemCount())
        *setting = combo.GetItemValue(selected);
}

void FillByIndex(CComboWrapper& combo, const UINT* labels, size_t count, int stored)
{
    combo.ResetContent();
    for (size_t i = 0; i < count; ++i)
        combo.AddString(LoadResourceString(labels[i]).c_str());
    // CB_SETCURSEL with a position that has no item clears the selection.
    combo.SetCurSel(stored >= 0 && static_cast<size_t>(stored) < count ? stored : -1);
}

int StoredIndex(const CComboWrapper& combo)
{
    int selected = combo.GetCurSel();
    return selected >= 0 ? selected : -1;
}

void FillByName(CComboWrapper& combo, const CNamedItem* items, size_t count, const std::string& stored)
{
    combo.ResetContent();
    int match = -1;
    for (size_t i = 0; i < count; ++i)
    {
        combo.AddString(LoadResourceString(items[i].label).c_str());
        if (match < 0 && stored == items[i].name)
            match = static_cast<int>(i);
    }
    combo.SetCurSel(match);
}

std::string StoredName(const CComboWrapper& combo, const CNamedItem* items, size_t count)
{
    int selected = combo.GetCurSel();
    if (selected < 0 || static_cast<size_t>(selected) >= count)
        return std::string();
    return items[selected].name;
}

void CSpinField::AttachBoth(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where)
{
    m_edit.Attach(page, editId);
    m_spin.Attach(page, spinId);
    m_spin.AddTooltip(tooltip, true, kTooltipDisplayMs);
    if (where == kTooltipOnBoth)
        m_edit.AddTooltip(tooltip, true, kTooltipDisplayMs);
}

void CSpinField::Attach16(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where, int lower, int upper,
                          int position)
{
    AttachBoth(page, editId, spinId, tooltip, where);
    m_wide = false;
    m_spin.SetRange(lower, upper);
    m_spin.SetPos(position);
}

void CSpinField::Attach32(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where, int lower, int upper,
                          int position)
{
    AttachBoth(page, editId, spinId, tooltip, where);
    m_wide = true;
    m_spin.SetRange32(lower, upper);
    m_spin.SetPos32(position);
}

int CSpinField::Position() const
{
    return m_wide ? m_spin.GetPos32() : m_spin.GetPos();
}
