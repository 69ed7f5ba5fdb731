#pragma once

#include "ui/framework/DialogBase.h"

#include <stddef.h>

// The window settings mode translates accelerators and dialog keys against:
// the page being shown, or a modal editor opened from it.
extern HWND g_currentPageWindow;

// Makes a modal editor's window the current page window for the editor's
// life, and puts the previous one back after.
class CCurrentPageScope
{
public:
    CCurrentPageScope() : m_previous(g_currentPageWindow) {}
    ~CCurrentPageScope() { g_currentPageWindow = m_previous; }

    void Set(HWND window) { g_currentPageWindow = window; }

private:
    CCurrentPageScope(const CCurrentPageScope&) = delete;
    CCurrentPageScope& operator=(const CCurrentPageScope&) = delete;

    HWND m_previous;
};

// The accelerator commands of settings mode: Alt+A .. Alt+Z, then Ctrl+A ..
// Ctrl+Z, which no page handles, so that those keys do nothing.
const int kAltLetterFirst = 40006;
const int kAltLetterLast = 40031;
const int kCtrlLetterFirst = 40032;
const int kCtrlLetterLast = 40057;

// One mnemonic of a page: the letter underlined in a label and the control it
// acts on. A check box is toggled (its click reaches the page as a click
// would) and focused; any other control is focused.
struct CMnemonic
{
    char letter;
    int controlId;
    bool toggles;
};

// Acts on the mnemonic of an Alt+letter command. True when command is an
// Alt+letter command that the table has; a disabled control is left alone.
bool HandleMnemonic(HWND page, int command, const CMnemonic* table, size_t count);

template <size_t N>
bool HandleMnemonic(HWND page, int command, const CMnemonic (&table)[N])
{
    return HandleMnemonic(page, command, table, N);
}

// A page of the settings dialog: a modeless child dialog, created hidden.
// Opening fills its controls from the settings; the close message that the
// settings dialog sends to every page when it closes copies them back.
class CSettingsPage : public CDialogBase
{
public:
    // Creates the page hidden as a child of the settings dialog; NULL when it
    // could not be made.
    virtual HWND Create(HWND settingsDialog) = 0;
    // The settings dialog changed to dpi (a page, a child window, hears of it
    // from the dialog): a page that sizes parts of its own scales them.
    virtual void FollowDpi(int dpi) { OnDpiChanged(dpi, NULL); }
};
