#include "dllkit/ProgressWindow.h"

#include "common/TextConvert.h"
#include "dllkit/DllMessages.h"

#include <stdio.h>

const char kProgressClass[] = "TessikBridgeProgress";

namespace {

const int kLineId = 100;
const int kWidth = 420;
const int kHeight = 150;

std::string FileNamePart(const std::string& path)
{
    size_t cut = 0;
    for (size_t i = 0; i < path.size(); ++i)
    {
        unsigned char c = path[i];
        if (c == '\\')
            cut = i + 1;
        else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))
            ++i;
    }
    return path.substr(cut);
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, int x, int y, int w, int h, int id,
           HINSTANCE instance)
{
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, NULL);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

}  // namespace

CProgressWindow::CProgressWindow(HINSTANCE instance, HWND owner, const std::string& archive)
    : m_instance(instance), m_owner(owner), m_ownerWasEnabled(false), m_hwnd(NULL), m_line(NULL),
      m_cancelled(false)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kProgressClass;
    RegisterClassExA(&windowClass);

    RECT area = {0, 0, kWidth, kHeight};
    AdjustWindowRectEx(&area, WS_CAPTION | WS_SYSMENU, FALSE, 0);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    RECT around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != NULL)
        GetWindowRect(owner, &around);
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;

    std::string name = FileNamePart(archive);
    std::string title = std::string(kMsgProgressTitle) + " - " + name;
    m_hwnd = CreateWindowExA(WS_EX_DLGMODALFRAME, kProgressClass, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                             x < 0 ? 0 : x, y < 0 ? 0 : y, width, height, owner, NULL, instance, NULL);
    if (m_hwnd == NULL)
        return;
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Child(m_hwnd, "STATIC", name.c_str(), SS_LEFTNOWORDWRAP | SS_NOPREFIX, 12, 12, kWidth - 24, 20, -1, instance);
    m_line = Child(m_hwnd, "STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 12, 42, kWidth - 24, 40, kLineId, instance);
    Child(m_hwnd, "BUTTON", kMsgProgressCancel, BS_PUSHBUTTON | WS_TABSTOP, (kWidth - 100) / 2, kHeight - 44, 100, 28,
          IDCANCEL, instance);
    if (owner != NULL)
        m_ownerWasEnabled = EnableWindow(owner, FALSE) == 0;
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
}

CProgressWindow::~CProgressWindow()
{
    // The owner first, so that activation goes back to it and not elsewhere.
    if (m_owner != NULL && m_ownerWasEnabled)
        EnableWindow(m_owner, TRUE);
    if (m_hwnd != NULL)
        DestroyWindow(m_hwnd);
    UnregisterClassA(kProgressClass, m_instance);
}

void CProgressWindow::Show(const std::string& latestLine)
{
    if (m_line == NULL || latestLine == m_shown)
        return;
    m_shown = latestLine;
    m_shownWide.clear();
    SetWindowTextA(m_line, Utf8ToShiftJis(latestLine).c_str());
}

void CProgressWindow::ShowCount(size_t done, size_t total, const std::wstring& name)
{
    wchar_t count[64];
    swprintf(count, sizeof(count) / sizeof(count[0]), L"%lu / %lu: ", static_cast<unsigned long>(done),
             static_cast<unsigned long>(total));
    std::wstring line = count + name;
    if (m_line == NULL || line == m_shownWide)
        return;
    m_shownWide = line;
    m_shown.clear();
    // The static control is a system class: it takes wide text whatever the
    // frame's class, so names beyond the ANSI code page show as they are.
    SetWindowTextW(m_line, line.c_str());
}

bool CProgressWindow::Wait(unsigned long ms) { return WaitFor(NULL, ms); }

bool CProgressWindow::WaitFor(HANDLE event, unsigned long ms)
{
    MsgWaitForMultipleObjects(event != NULL ? 1 : 0, event != NULL ? &event : NULL, FALSE, ms, QS_ALLINPUT);
    MSG message;
    bool quit = false;
    int quitCode = 0;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
    {
        if (message.message == WM_QUIT)
        {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // A quit belongs to the program's own loop.
    if (quit)
        PostQuitMessage(quitCode);
    return !m_cancelled;
}

LRESULT CALLBACK CProgressWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CProgressWindow* self = reinterpret_cast<CProgressWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message)
    {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && self != NULL)
        {
            self->m_cancelled = true;
            EnableWindow(reinterpret_cast<HWND>(lParam), FALSE);
        }
        return 0;
    case WM_CLOSE:
        if (self != NULL)
            self->m_cancelled = true;
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
