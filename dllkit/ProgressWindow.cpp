#include "dllkit/ProgressWindow.h"

#include "common/Dpi.h"
#include "common/TextConvert.h"
#include "dllkit/DllMessages.h"

#include <stdio.h>

const char kProgressClass[] = "TessikBridgeProgress";

namespace {

const int kLineId = 100;
// The client area and its parts, in pixels at 96 DPI.
const int kWidth = 420;
const int kHeight = 150;
const int kMargin = 12;
const int kNameTop = 12;
const int kNameHeight = 20;
const int kLineTop = 42;
const int kLineHeight = 40;
const int kButtonWidth = 100;
const int kButtonHeight = 28;
const int kButtonBottom = 44;
const DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
const DWORD kFrameExStyle = WS_EX_DLGMODALFRAME;

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

// Placed and given its font by Layout.
HWND Child(HWND parent, const char* className, const char* text, DWORD style, int id, HINSTANCE instance)
{
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, NULL);
}

void Place(HWND child, int x, int y, int w, int h, int dpi)
{
    SetWindowPos(child, NULL, ScaleForDpi(x, dpi), ScaleForDpi(y, dpi), ScaleForDpi(w, dpi), ScaleForDpi(h, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE FrameSize(int dpi)
{
    RECT area = {0, 0, ScaleForDpi(kWidth, dpi), ScaleForDpi(kHeight, dpi)};
    AdjustWindowRectForDpi(&area, kFrameStyle, false, kFrameExStyle, dpi);
    return {area.right - area.left, area.bottom - area.top};
}

}  // namespace

CProgressWindow::CProgressWindow(HINSTANCE instance, HWND owner, const std::string& archive)
    : m_instance(instance), m_owner(owner), m_ownerWasEnabled(false), m_hwnd(NULL), m_name(NULL), m_line(NULL),
      m_cancel(NULL), m_font(NULL), m_dpi(kBaseDpi), m_cancelled(false)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kProgressClass;
    RegisterClassExA(&windowClass);

    // The owner's DPI until the window has its own.
    m_dpi = GetWindowDpi(owner);
    SIZE frame = FrameSize(m_dpi);
    int width = frame.cx;
    int height = frame.cy;
    RECT around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != NULL)
        GetWindowRect(owner, &around);
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;

    std::string name = FileNamePart(archive);
    std::string title = std::string(kMsgProgressTitle) + " - " + name;
    m_hwnd = CreateWindowExA(kFrameExStyle, kProgressClass, title.c_str(), kFrameStyle, x < 0 ? 0 : x, y < 0 ? 0 : y,
                             width, height, owner, NULL, instance, NULL);
    if (m_hwnd == NULL)
        return;
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_name = Child(m_hwnd, "STATIC", name.c_str(), SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, instance);
    m_line = Child(m_hwnd, "STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kLineId, instance);
    m_cancel = Child(m_hwnd, "BUTTON", kMsgProgressCancel, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, instance);
    int dpi = GetWindowDpi(m_hwnd);
    if (dpi != m_dpi)
    {
        frame = FrameSize(dpi);
        SetWindowPos(m_hwnd, NULL, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Layout(dpi);
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
    if (m_font != NULL)
        DeleteObject(m_font);
    UnregisterClassA(kProgressClass, m_instance);
}

void CProgressWindow::Layout(int dpi)
{
    m_dpi = dpi;
    Place(m_name, kMargin, kNameTop, kWidth - 2 * kMargin, kNameHeight, dpi);
    Place(m_line, kMargin, kLineTop, kWidth - 2 * kMargin, kLineHeight, dpi);
    Place(m_cancel, (kWidth - kButtonWidth) / 2, kHeight - kButtonBottom, kButtonWidth, kButtonHeight, dpi);

    // The dialog font of the system, made for dpi: the stock font is made
    // once for the system DPI.
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, GetWindowDpi(NULL));
    HFONT created = CreateFontIndirectA(&font);
    if (created == NULL)
        return;
    for (HWND child : {m_name, m_line, m_cancel})
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
    if (m_font != NULL)
        DeleteObject(m_font);
    m_font = created;
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
    case WM_DPICHANGED:
        MoveToSuggestedRect(hwnd, reinterpret_cast<const RECT*>(lParam));
        if (self != NULL)
            self->Layout(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
