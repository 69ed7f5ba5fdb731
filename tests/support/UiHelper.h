#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Drives real windows from a test: find a top-level window or message box by its
// title, read its texts, press its buttons. The code under test runs its modal
// loop on the test's own thread, so the answering is done from a second thread
// (CWindowResponder).

struct CControlSnapshot
{
    HWND hwnd = NULL;
    int id = 0;
    std::string className;
    std::string text;
    LONG style = 0;
    bool enabled = true;
    bool visible = true;
};

struct CWindowSnapshot
{
    HWND hwnd = NULL;
    std::string title;
    std::string className;
    std::vector<CControlSnapshot> controls;

    const CControlSnapshot* Find(int id) const;
    // The message text of a message box (its static control 0xFFFF).
    std::string MessageText() const;
    bool HasIcon() const;
};

// Waits until a visible top-level window with exactly this title exists
// (in any process when processId is 0); NULL after timeoutMs.
HWND WaitForTopWindow(const std::string& title, DWORD processId = 0, DWORD timeoutMs = 10000);
CWindowSnapshot SnapshotWindow(HWND window);
std::string GetWindowTextString(HWND window);
// Polls condition until it holds (true) or timeoutMs has passed (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000);
// Until the window is hidden or destroyed (a dialog that ended); false after timeoutMs.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 10000);
// Waits until the thread of window has taken from its queue every message
// posted to it before this call, so that what they ask for has been done (or
// has opened a modal loop of its own, a message box say). Also true when the
// window is hidden or gone meanwhile: a dialog that was told to end. false
// after timeoutMs. Meant for the top-level windows of another thread of this
// process; on the window's own thread it dispatches what is pending. For a
// window of another process it only waits until the window's thread takes a
// sent message, that is, until it runs its message loop.
bool WaitUntilHandled(HWND window, DWORD timeoutMs = 10000);
// Presses a button as a click would (BN_CLICKED reaches the dialog).
void PressButton(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);

// On a background thread: waits for a window with the title, takes a snapshot,
// then runs the action (by default nothing). Result() joins the thread.
class CWindowResponder
{
public:
    typedef std::function<void(HWND)> Action;

    CWindowResponder(const std::string& title, Action action, DWORD timeoutMs = 15000,
                     DWORD processId = GetCurrentProcessId());
    // Presses the button with this id once the window is there.
    CWindowResponder(const std::string& title, int buttonId, DWORD timeoutMs = 15000,
                     DWORD processId = GetCurrentProcessId());
    ~CWindowResponder();

    // The window as it was found; hwnd is NULL when it never appeared.
    const CWindowSnapshot& Result();

private:
    CWindowResponder(const CWindowResponder&);
    CWindowResponder& operator=(const CWindowResponder&);

    void Run(std::string title, Action action, DWORD timeoutMs, DWORD processId);

    CWindowSnapshot m_snapshot;
    std::thread m_thread;
};

// The text of one tree-view item.
std::string TreeItemText(HWND tree, HTREEITEM item);
// The items of a tree view in display order, each as its depth (0 for a root
// item) and its text.
std::vector<std::pair<int, std::string>> TreeItems(HWND tree);
// Selects the first item with this text as the user would (the parent hears
// the selection change); false when there is none.
bool SelectTreeItem(HWND tree, const std::string& text);
// The texts of a combo box's items.
std::vector<std::string> ComboItems(HWND combo);
// The visible child dialog of a dialog (the page it shows), NULL when none.
HWND ShownChildDialog(HWND dialog);
