#pragma once

// Runs the settings dialog in this process as settings mode does and reads and
// sets the controls of its pages as a user would see and change them.

#include "tests/support/UiHelper.h"
#include "tests/ui/TooltipProbe.h"
#include "ui/settingsdialog/SettingsDialog.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CSettingsDialogDriver
{
public:
    // Creates and shows the dialog; window() is NULL when that failed.
    CSettingsDialogDriver();
    ~CSettingsDialogDriver();

    HWND window() const { return m_window; }
    // The captions of the tree's children of "基本設定", in order.
    std::vector<std::string> FormatCaptions() const;
    // Selects the tree item with this caption (a child of "基本設定") and returns
    // the page the dialog then shows; NULL when no such item exists.
    HWND ShowPage(const std::string& caption);
    // Presses OK or Cancel and runs the message loop to its quit message, as
    // settings mode does; returns the quit message's parameter.
    int Close(int buttonId);

private:
    CSettingsDialogDriver(const CSettingsDialogDriver&) = delete;
    CSettingsDialogDriver& operator=(const CSettingsDialogDriver&) = delete;

    CSettingsDialog m_dialog;
    HWND m_window = NULL;
    bool m_closed = false;
};

// Lets the windows of this thread paint and handle what was posted to them.
void PumpMessages(DWORD forMs);

// The selected item's text; "(none)" when nothing is selected.
std::string ComboSelection(HWND combo);
// Selects the item as a user does: the selection, then its notification.
void ChooseComboItem(HWND page, int id, int index);
bool IsChecked(HWND page, int id);
// Clicks a check box as a user does (the state flips, the page is told).
void ClickCheckBox(HWND page, int id);
// The up-down's position: 32-bit, as the page reads the widest field.
int SpinPosition(HWND page, int spinId);
void SetSpinPosition(HWND page, int spinId, int position);

// A key's value as the profile functions read it; "(missing)" when absent.
std::string StoredValue(const std::string& iniPath, const char* section, const char* key);
