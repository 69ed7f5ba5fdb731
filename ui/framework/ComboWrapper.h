#pragma once

#include "ui/framework/ControlWrapper.h"

// Items whose value the combo box remembers; later items are added without one.
const int kComboValueSlots = 1024;

// A drop-down list with one int value per item, kept by insertion order: slot n
// is list position n as long as the list is not sorted (none of ours is).
class CComboWrapper : public CControlWrapper
{
public:
    CComboWrapper();

    // CB_ADDSTRING; the item takes the next slot with the value 0.
    int AddString(const char* text);
    // CB_ADDSTRING; the item takes the next slot with this value.
    int AddString(const char* text, int value);
    // CB_RESETCONTENT; the value table is cleared too.
    void ResetContent();
    int SetCurSel(int index);
    int GetCurSel() const;
    // CB_SELECTSTRING from the start: the first item that begins with prefix.
    int SelectString(const char* prefix);

    // The value of a slot, -1 for a slot that holds none.
    int GetItemValue(int slot) const;
    // Selects the first slot holding value; -1 (selection unchanged) when none does.
    int SelectByValue(int value);
    int GetItemCount() const { return m_count; }

private:
    int m_count;
    int m_values[kComboValueSlots];
};
