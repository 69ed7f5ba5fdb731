#pragma once

#include "ui/framework/TooltipWrapper.h"

#include <windows.h>

#include <string>

// Tooltips of every dialog stay up this long.
const int kTooltipDisplayMs = 30000;

// Base of every control wrapper and of CDialogBase: the control's window, its
// dialog, the module its texts come from, and the font and tooltip it owns.
class CControlWrapper
{
public:
    CControlWrapper();
    virtual ~CControlWrapper();

    // Binds the wrapper to control id of dialog.
    void Attach(HWND dialog, int id);
    // Creates the font, gives it to the control and keeps it; 0 on failure.
    int SetFont(const LOGFONTA& font, bool redraw);
    // The text comes from the string table (at most 1023 characters).
    int AddTooltip(UINT stringId, bool multiLine, int displayMs);
    int AddTooltip(const char* text, bool multiLine, int displayMs);

    // What every window has; on a wrapper without window they do nothing.
    // Enable answers whether the window was disabled before, Show whether it
    // was visible before, as the platform does.
    bool Enable(bool enable);
    bool Show(bool show);
    bool SetText(const char* text);
    bool SetText(const std::string& text);
    // The whole text, whatever its length.
    std::string GetText() const;
    // The text as a buffer of bufferSize bytes takes it: callers that keep
    // control texts to the program's 1024-byte buffers cut where they did.
    std::string GetText(size_t bufferSize) const;
    int GetText(char* buffer, int size) const;

    HWND GetHwnd() const { return m_hwnd; }
    HWND GetParentHwnd() const { return m_parent; }
    int GetId() const { return m_id; }
    // The module instance, read from the window when it is not known yet.
    HINSTANCE GetInstance();

protected:
    HWND m_hwnd;
    HWND m_parent;
    HINSTANCE m_instance;
    HFONT m_font;
    CTooltipWrapper m_tooltip;
    int m_id;

private:
    CControlWrapper(const CControlWrapper&);
    CControlWrapper& operator=(const CControlWrapper&);
};
