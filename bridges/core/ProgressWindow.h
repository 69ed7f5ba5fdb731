#pragma once

#include "bridges/core/HostSession.h"

#include <windows.h>

#include <string>

// The bridge's own status window, as a real archiver DLL shows one: the
// archive's name, the tool's latest line and a Cancel button. The owner is
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

    HWND GetHwnd() const { return m_hwnd; }

private:
    CProgressWindow(const CProgressWindow&);
    CProgressWindow& operator=(const CProgressWindow&);

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE m_instance;
    HWND m_owner;
    bool m_ownerWasEnabled;
    HWND m_hwnd;
    HWND m_line;
    bool m_cancelled;
    std::string m_shown;
};

// Window class name of the status window (the tests find it by its title).
extern const char kProgressClass[];
