#pragma once

#include "ui/framework/ControlWrapper.h"

// A drop-down list with one int value per item, kept in the item's own data
// (CB_SETITEMDATA), so a value follows its item wherever the list puts it.
class CComboWrapper : public CControlWrapper
{
public:
    // CB_ADDSTRING; the item's value is 0.
    int AddString(const char* text);
    // CB_ADDSTRING, then CB_SETITEMDATA with value.
    int AddString(const char* text, int value);
    void ResetContent();
    int SetCurSel(int index);
    int GetCurSel() const;
    // CB_SELECTSTRING from the start: the first item that begins with prefix.
    int SelectString(const char* prefix);

    // CB_GETITEMDATA; -1 for an index the list does not hold.
    int GetItemValue(int index) const;
    // Selects the first item holding value; -1 (selection unchanged) when none does.
    int SelectByValue(int value);
    // CB_GETCOUNT; 0 without a control.
    int GetItemCount() const;
};
