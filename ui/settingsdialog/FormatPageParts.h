#pragma once

// What the archiver settings pages share: the version lines and the three ways
// a combo item stands for a stored value.

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/SpinWrapper.h"

#include <stddef.h>

#include <string>

// "導入されている%sはVer.%d.%.2dです" with the version split as 4.31, or
// "%sはインストールされていません" when the DLL reported 0.
std::string DllVersionLine(const char* dllName, unsigned version);
// "動作確認は、Ver.%sで行っています".
std::string TestedVersionLine(const char* testedVersion);
// The first line into the page's static 1022: a page of a DLL that ships
// with the program has no tested version to name.
void ShowDllVersionLine(HWND page, const char* dllName, unsigned version);
// Both lines into the page's statics 1022 and 1021.
void ShowVersionLines(HWND page, const char* dllName, unsigned version, const char* testedVersion);

// Attaches a wrapper and gives it the page's tooltip.
void AttachWithTooltip(CControlWrapper& control, HWND page, int id, UINT tooltip);

// By item data: each item carries the value it stands for.
struct CValueItem
{
    UINT label;
    int value;
};
void FillByValue(CComboWrapper& combo, const CValueItem* items, size_t count, int stored);
// The selected item's value; the setting stays when nothing is selected.
void StoreByValue(const CComboWrapper& combo, int* setting);

// By index: the item's position is the value. A stored value without an item
// leaves the list without selection, and closing then stores -1.
void FillByIndex(CComboWrapper& combo, const UINT* labels, size_t count, int stored);
int StoredIndex(const CComboWrapper& combo);

// By name: each position stands for a fixed text, the one that is stored.
struct CNamedItem
{
    UINT label;
    const char* name;
};
void FillByName(CComboWrapper& combo, const CNamedItem* items, size_t count, const std::string& stored);
// The selected item's text; empty when nothing is selected.
std::string StoredName(const CComboWrapper& combo, const CNamedItem* items, size_t count);

// A check box shows a switch of a settings record.
template <class TSettings>
struct CCheckField
{
    int id;
    UINT tooltip;
    bool TSettings::*setting;
};

template <class TSettings, size_t N>
void FillChecks(CButtonWrapper (&boxes)[N], const CCheckField<TSettings> (&fields)[N], HWND page,
                const TSettings& settings)
{
    for (size_t i = 0; i < N; ++i)
    {
        AttachWithTooltip(boxes[i], page, fields[i].id, fields[i].tooltip);
        boxes[i].SetCheck(settings.*fields[i].setting ? BST_CHECKED : BST_UNCHECKED);
    }
}

template <class TSettings, size_t N>
void StoreChecks(const CButtonWrapper (&boxes)[N], const CCheckField<TSettings> (&fields)[N], TSettings* settings)
{
    for (size_t i = 0; i < N; ++i)
        settings->*fields[i].setting = boxes[i].GetCheck() == BST_CHECKED;
}

// A spin field: an edit and the up-down that has it as buddy. The up-down's
// position is the value; its range keeps the arrows within the field's limits.
class CSpinField
{
public:
    enum TooltipOn
    {
        kTooltipOnSpin,
        kTooltipOnBoth,
    };

    // The 16-bit range and position of the up-down.
    void Attach16(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where, int lower, int upper,
                  int position);
    // The 32-bit range and position, for values beyond 16 bits.
    void Attach32(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where, int lower, int upper,
                  int position);
    int Position() const;

private:
    void AttachBoth(HWND page, int editId, int spinId, UINT tooltip, TooltipOn where);

    CControlWrapper m_edit;
    CSpinWrapper m_spin;
    bool m_wide = false;
};
