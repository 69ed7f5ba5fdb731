#include "tests/support/UiHelper.h"

#include <commctrl.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <set>

namespace {

const UINT kMessageTimeoutMs = 5000;
const DWORD kConditionPollMs = 5;

// WaitUntilHandled posts a marker behind the messages already queued and
// watches, through a message hook on the window's thread, for the moment that
// thread takes it: posted messages leave a queue in order, so everything
// posted before has been taken and dispatched by then.
UINT MarkerMessage()
{
    static const UINT kMarker = RegisterWindowMessageA("TessikTestQueueMarker");
    return kMarker;
}

std::mutex g_markerLock;
std::set<WPARAM> g_markersTaken;
std::atomic<WPARAM> g_nextMarker(1);

bool MarkerTaken(WPARAM marker)
{
    std::lock_guard<std::mutex> lock(g_markerLock);
    return g_markersTaken.count(marker) != 0;
}

LRESULT CALLBACK WatchMarkers(int code, WPARAM removed, LPARAM param)
{
    const MSG* message = reinterpret_cast<const MSG*>(param);
    if (code == HC_ACTION && (removed & PM_REMOVE) != 0 && message->message == MarkerMessage())
    {
        std::lock_guard<std::mutex> lock(g_markerLock);
        g_markersTaken.insert(message->wParam);
    }
    return CallNextHookEx(NULL, code, removed, param);
}

bool Closed(HWND window)
{
    return !IsWindow(window) || !IsWindowVisible(window);
}

struct CFindRequest
{
    const std::string* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM param)
{
    CFindRequest* request = reinterpret_cast<CFindRequest*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    if (request->processId != 0)
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != request->processId)
            return TRUE;
    }
    if (GetWindowTextString(window) != *request->title)
        return TRUE;
    request->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    CWindowSnapshot* snapshot = reinterpret_cast<CWindowSnapshot*>(param);
    CControlSnapshot control;
    control.hwnd = child;
    control.id = GetDlgCtrlID(child);
    char className[256] = "";
    GetClassNameA(child, className, sizeof(className));
    control.className = className;
    control.text = GetWindowTextString(child);
    control.style = GetWindowLongA(child, GWL_STYLE);
    control.enabled = IsWindowEnabled(child) != FALSE;
    control.visible = IsWindowVisible(child) != FALSE;
    snapshot->controls.push_back(control);
    return TRUE;
}

}  // namespace

const CControlSnapshot* CWindowSnapshot::Find(int id) const
{
    for (const CControlSnapshot& control : controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

std::string CWindowSnapshot::MessageText() const
{
    const CControlSnapshot* text = Find(0xFFFF);
    return text ? text->text : std::string();
}

bool CWindowSnapshot::HasIcon() const
{
    // The icon's control id differs between Windows (20) and Wine (1088): look
    // for the visible icon static instead.
    for (const CControlSnapshot& control : controls)
        if (control.visible && control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON)
            return true;
    return false;
}

std::string GetWindowTextString(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

HWND WaitForTopWindow(const std::string& title, DWORD processId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        CFindRequest request = {&title, processId, NULL};
        EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&request));
        if (request.found != NULL)
            return request.found;
        if (GetTickCount() - start > timeoutMs)
            return NULL;
        Sleep(50);
    }
}

CWindowSnapshot SnapshotWindow(HWND window)
{
    CWindowSnapshot snapshot;
    snapshot.hwnd = window;
    snapshot.title = GetWindowTextString(window);
    char className[256] = "";
    GetClassNameA(window, className, sizeof(className));
    snapshot.className = className;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(kConditionPollMs);
    }
    return true;
}

bool WaitUntilClosed(HWND window, DWORD timeoutMs)
{
    return WaitUntil([window] { return Closed(window); }, timeoutMs);
}

bool WaitUntilHandled(HWND window, DWORD timeoutMs)
{
    DWORD processId = 0;
    DWORD thread = GetWindowThreadProcessId(window, &processId);
    if (thread == 0)
        return true;
    DWORD start = GetTickCount();
    if (processId != GetCurrentProcessId())
    {
        // No hook reaches another process without a DLL of its own: there, a
        // message sent through is the sign that the thread is in its loop.
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0 || Closed(window);
    }
    if (thread == GetCurrentThreadId())
    {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (GetTickCount() - start > timeoutMs)
                return false;
        }
        return true;
    }

    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchMarkers, NULL, thread);
    if (hook == NULL)
        return false;
    WPARAM marker = g_nextMarker++;
    bool handled = false;
    if (PostMessageA(window, MarkerMessage(), marker, 0))
    {
        for (;;)
        {
            if (MarkerTaken(marker) || Closed(window))
            {
                handled = true;
                break;
            }
            if (GetTickCount() - start > timeoutMs)
                break;
            Sleep(kConditionPollMs);
        }
    }
    else
    {
        handled = Closed(window);
    }
    UnhookWindowsHookEx(hook);
    std::lock_guard<std::mutex> lock(g_markerLock);
    g_markersTaken.erase(marker);
    return handled;
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void SetControlText(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

CWindowResponder::CWindowResponder(const std::string& title, Action action, DWORD timeoutMs,
                                   DWORD processId)
    : m_thread(&CWindowResponder::Run, this, title, action, timeoutMs, processId)
{
}

CWindowResponder::CWindowResponder(const std::string& title, int buttonId, DWORD timeoutMs,
                                   DWORD processId)
    : m_thread(&CWindowResponder::Run, this, title, [buttonId](HWND window) { PressButton(window, buttonId); },
               timeoutMs, processId)
{
}

CWindowResponder::~CWindowResponder()
{
    if (m_thread.joinable())
        m_thread.join();
}

const CWindowSnapshot& CWindowResponder::Result()
{
    if (m_thread.joinable())
        m_thread.join();
    return m_snapshot;
}

void CWindowResponder::Run(std::string title, Action action, DWORD timeoutMs, DWORD processId)
{
    HWND window = WaitForTopWindow(title, processId, timeoutMs);
    if (window == NULL)
        return;
    // A dialog is shown once initialised, but what it posted itself meanwhile
    // may still wait in its queue.
    if (!WaitUntilHandled(window) || !IsWindowVisible(window))
        return;
    m_snapshot = SnapshotWindow(window);
    if (action)
        action(window);
}

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[256] = "";
    TVITEMA data = {};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof(text);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

namespace {

void CollectTreeItems(HWND tree, HTREEITEM item, int depth, std::vector<std::pair<int, std::string>>* items)
{
    for (; item != NULL; item = TreeView_GetNextSibling(tree, item))
    {
        items->emplace_back(depth, TreeItemText(tree, item));
        CollectTreeItems(tree, TreeView_GetChild(tree, item), depth + 1, items);
    }
}

HTREEITEM FindTreeItem(HWND tree, HTREEITEM item, const std::string& text)
{
    for (; item != NULL; item = TreeView_GetNextSibling(tree, item))
    {
        if (text == TreeItemText(tree, item))
            return item;
        HTREEITEM below = FindTreeItem(tree, TreeView_GetChild(tree, item), text);
        if (below != NULL)
            return below;
    }
    return NULL;
}

BOOL CALLBACK FindShownDialog(HWND window, LPARAM param)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window))
    {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::vector<std::pair<int, std::string>> TreeItems(HWND tree)
{
    std::vector<std::pair<int, std::string>> items;
    CollectTreeItems(tree, TreeView_GetRoot(tree), 0, &items);
    return items;
}

bool SelectTreeItem(HWND tree, const std::string& text)
{
    HTREEITEM item = FindTreeItem(tree, TreeView_GetRoot(tree), text);
    return item != NULL && TreeView_SelectItem(tree, item);
}

std::vector<std::string> ComboItems(HWND combo)
{
    std::vector<std::string> items;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
    {
        std::string text(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        text.resize(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]))));
        items.push_back(text);
    }
    return items;
}

HWND ShownChildDialog(HWND dialog)
{
    HWND shown = NULL;
    EnumChildWindows(dialog, FindShownDialog, reinterpret_cast<LPARAM>(&shown));
    return shown;
}
