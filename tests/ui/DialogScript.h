#pragma once

#include "tests/support/UiHelper.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Answers the dialogs and message boxes of this process in the order a test
// expects them, from a background thread, while the code under test runs its
// modal loops on the test's thread. A window that is not the next expected one
// is recorded as unexpected and closed, so a wrong path fails the test instead
// of hanging it.
class CDialogScript
{
public:
    typedef std::function<void(HWND)> Action;

    struct CStep
    {
        std::string title;
        Action action;
        // false for a dialog that stays open after the action (a message box
        // of its own comes next); the following step must have another title.
        bool waitClose = true;
    };

    struct CSeen
    {
        CWindowSnapshot window;
        HWND owner = NULL;
        bool expected = false;
    };

    explicit CDialogScript(std::vector<CStep> steps = std::vector<CStep>());
    ~CDialogScript();

    // Stops watching; every window seen, in order.
    const std::vector<CSeen>& Finish();
    std::vector<std::string> Titles();

private:
    CDialogScript(const CDialogScript&);
    CDialogScript& operator=(const CDialogScript&);

    void Watch();
    bool HandleNextWindow();

    std::vector<CStep> m_steps;
    size_t m_next = 0;
    std::vector<HWND> m_handled;
    std::vector<CSeen> m_seen;
    std::atomic<bool> m_stop;
    std::thread m_thread;
};

CDialogScript::CStep Press(const std::string& title, int buttonId);
// Sets control texts, then presses a button.
CDialogScript::CStep Fill(const std::string& title, const std::vector<std::pair<int, std::string>>& texts,
                          int buttonId, bool waitClose = true);
// Sends the window's close box (WM_CLOSE).
CDialogScript::CStep CloseBox(const std::string& title);
// A key pressed in the dialog, as the keyboard would deliver it to the focus.
void PressKey(HWND dialog, UINT virtualKey);
