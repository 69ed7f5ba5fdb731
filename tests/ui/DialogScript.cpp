#include "tests/ui/DialogScript.h"

#include <algorithm>

namespace {

const DWORD kPollMs = 30;
const DWORD kCloseTimeoutMs = 10000;
const char kDialogClass[] = "#32770";
const char kEarlierScriptProp[] = "TessikTestEarlierScript";

struct CCandidates
{
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    CCandidates* candidates = reinterpret_cast<CCandidates*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != candidates->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, kDialogClass) == 0)
        candidates->windows.push_back(window);
    return TRUE;
}

void WaitClosed(HWND window)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window) && GetTickCount() - start < kCloseTimeoutMs)
        Sleep(kPollMs);
}

}  // namespace

CDialogScript::CDialogScript(std::vector<CStep> steps)
    : m_steps(std::move(steps)), m_stop(false)
{
    // A dialog of an earlier script may still be closing (that takes a while
    // without a window manager): it is nobody's next step here. It is marked
    // rather than remembered, since a new dialog may get its handle.
    CCandidates closing = {GetCurrentProcessId(), {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&closing));
    for (HWND window : closing.windows)
        SetPropA(window, kEarlierScriptProp, reinterpret_cast<HANDLE>(1));
    m_thread = std::thread(&CDialogScript::Watch, this);
}

CDialogScript::~CDialogScript()
{
    Finish();
}

const std::vector<CDialogScript::CSeen>& CDialogScript::Finish()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_seen;
}

std::vector<std::string> CDialogScript::Titles()
{
    std::vector<std::string> titles;
    for (const CSeen& seen : Finish())
        titles.push_back(seen.window.title);
    return titles;
}

void CDialogScript::Watch()
{
    while (!m_stop)
    {
        if (!HandleNextWindow())
            Sleep(kPollMs);
    }
}

bool CDialogScript::HandleNextWindow()
{
    CCandidates candidates = {GetCurrentProcessId(), {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&candidates));
    for (HWND window : candidates.windows)
    {
        std::string title = GetWindowTextString(window);
        if (GetPropA(window, kEarlierScriptProp) != NULL)
            continue;
        bool handledBefore = std::find(m_handled.begin(), m_handled.end(), window) != m_handled.end();
        bool isNext = m_next < m_steps.size() && m_steps[m_next].title == title;
        if (!isNext && handledBefore)
            continue;

        // What the dialog posted itself while it was set up, or what the last
        // step posted to it, is handled before it is read; a dialog that ended
        // meanwhile (the last step closed it) is nobody's step. The title is
        // read again then: read while the dialog's thread was still busy, it
        // may have come back empty.
        if (!WaitUntilHandled(window) || !IsWindowVisible(window))
            continue;
        title = GetWindowTextString(window);
        isNext = m_next < m_steps.size() && m_steps[m_next].title == title;
        if (!isNext && handledBefore)
            continue;
        CSeen seen;
        seen.window = SnapshotWindow(window);
        seen.owner = GetWindow(window, GW_OWNER);
        seen.expected = isNext;
        m_seen.push_back(seen);
        if (!handledBefore)
            m_handled.push_back(window);

        if (isNext)
        {
            const CStep& step = m_steps[m_next++];
            if (step.action)
                step.action(window);
            // The next step then finds the dialog as the action left it: with
            // the rows it added, or closed, or behind the box it opened.
            if (step.waitClose)
                WaitClosed(window);
            else
                WaitUntilHandled(window);
        }
        else
        {
            PostMessageA(window, WM_CLOSE, 0, 0);
            WaitClosed(window);
        }
        return true;
    }
    return false;
}

CDialogScript::CStep Press(const std::string& title, int buttonId)
{
    CDialogScript::CStep step;
    step.title = title;
    step.action = [buttonId](HWND window) { PressButton(window, buttonId); };
    return step;
}

CDialogScript::CStep Fill(const std::string& title, const std::vector<std::pair<int, std::string>>& texts,
                          int buttonId, bool waitClose)
{
    CDialogScript::CStep step;
    step.title = title;
    step.action = [texts, buttonId](HWND window) {
        for (const auto& text : texts)
            SetControlText(window, text.first, text.second);
        PressButton(window, buttonId);
    };
    step.waitClose = waitClose;
    return step;
}

CDialogScript::CStep CloseBox(const std::string& title)
{
    CDialogScript::CStep step;
    step.title = title;
    step.action = [](HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); };
    return step;
}

void PressKey(HWND dialog, UINT virtualKey)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(target, WM_KEYUP, virtualKey, 0xC0000001);
}
