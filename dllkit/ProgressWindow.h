#pragma once

#include "dllkit/ProgressSink.h"

#include <windows.h>

#include <string>

// The status window every archiver DLL of ours shows: the archive's name, the
// latest line of the work and a Cancel button. The owner is
// disabled meanwhile, so the program cannot start a second job inside the
// first. The window class is unregistered again with the window: the DLL is
// loaded for one command only, and a class left behind would keep a window
// procedure address of an unloaded module.
class CProgressWindow : public CProgressSink
{
public:
    CProgressWindow(HINSTANCE instance, HWND owner, const std::string& archive);
    ~CProgressWindow();

    void Show(const std::string& latestLine) override;
    bool Wait(unsigned long ms) override;
    // "done / total: name", for work that counts its files.
    void ShowCount(size_t done, size_t total, const std::wstring& name);
    // Serves the window until the event is signalled or about ms have
    // passed; false once Cancel was pressed.
    bool WaitFor(HANDLE event, unsigned long ms);

    HWND GetHwnd() const { return m_hwnd; }

private:
    CProgressWindow(const CProgressWindow&);
    CProgressWindow& operator=(const CProgressWindow&);

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Places the texts and the button and gives them the font, for dpi.
    void Layout(int dpi);

    HINSTANCE m_instance;
    HWND m_owner;
    bool m_ownerWasEnabled;
    HWND m_hwnd;
    HWND m_name;
    HWND m_line;
    HWND m_cancel;
    // The texts' and the button's font, made for m_dpi.
    HFONT m_font;
    int m_dpi;
    bool m_cancelled;
    std::string m_shown;
    std::wstring m_shownWide;
};

// Window class name of the status window (the tests find it by its title).
extern const char kProgressClass[];
