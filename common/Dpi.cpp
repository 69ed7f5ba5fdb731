#include "common/Dpi.h"

namespace {

typedef UINT(WINAPI* DpiForWindowFunction)(HWND);
typedef int(WINAPI* MetricsForDpiFunction)(int, UINT);
typedef BOOL(WINAPI* AdjustForDpiFunction)(RECT*, DWORD, BOOL, DWORD, UINT);
typedef HRESULT(WINAPI* ScaleDownFunction)(HINSTANCE, PCWSTR, int, int, HICON*);

// user32 is loaded in every process that has a window; a function it lacks
// (Windows 7, 8) is NULL.
FARPROC User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 != NULL ? GetProcAddress(user32, name) : NULL;
}

// The LOGPIXELSY of a window's device context (the screen's for NULL): the
// system DPI.
int DeviceContextDpi(HWND window)
{
    CScopedWindowDC dc(window);
    int dpi = dc.Get() != NULL ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int GetWindowDpi(HWND window)
{
    static const DpiForWindowFunction dpiForWindow =
        reinterpret_cast<DpiForWindowFunction>(User32Function("GetDpiForWindow"));
    if (dpiForWindow != NULL && window != NULL)
    {
        UINT dpi = dpiForWindow(window);
        if (dpi > 0)
            return static_cast<int>(dpi);
    }
    return DeviceContextDpi(window);
}

int ScaleForDpi(int value, int dpi)
{
    return MulDiv(value, dpi, kBaseDpi);
}

int UnscaleForDpi(int value, int dpi)
{
    return dpi > 0 ? MulDiv(value, kBaseDpi, dpi) : value;
}

int GetSystemMetricForDpi(int index, int dpi)
{
    static const MetricsForDpiFunction metricsForDpi =
        reinterpret_cast<MetricsForDpiFunction>(User32Function("GetSystemMetricsForDpi"));
    if (metricsForDpi != NULL)
        return metricsForDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, DeviceContextDpi(NULL));
}

bool AdjustWindowRectForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, int dpi)
{
    static const AdjustForDpiFunction adjustForDpi =
        reinterpret_cast<AdjustForDpiFunction>(User32Function("AdjustWindowRectExForDpi"));
    if (adjustForDpi != NULL)
        return adjustForDpi(rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
    return AdjustWindowRectEx(rect, style, menu ? TRUE : FALSE, exStyle) != FALSE;
}

HICON LoadIconAtSize(HINSTANCE module, int iconId, int size)
{
    // Only where common controls 6 is already in the process (the program's
    // manifest asks for it); a DLL of ours never loads it for an icon.
    HMODULE controls = GetModuleHandleA("comctl32.dll");
    ScaleDownFunction scaleDown =
        controls != NULL ? reinterpret_cast<ScaleDownFunction>(GetProcAddress(controls, "LoadIconWithScaleDown"))
                         : NULL;
    HICON icon = NULL;
    if (scaleDown != NULL && SUCCEEDED(scaleDown(module, MAKEINTRESOURCEW(iconId), size, size, &icon)))
        return icon;
    // Not shared: a shared icon is found again by its name alone, at the size
    // it was first loaded with, whatever size is asked for later.
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, size, size, 0));
}

int SmallIconSize(int dpi)
{
    return GetSystemMetricForDpi(SM_CXSMICON, dpi);
}

int LargeIconSize(int dpi)
{
    return GetSystemMetricForDpi(SM_CXICON, dpi);
}

void MoveToSuggestedRect(HWND window, const RECT* suggested)
{
    if (suggested == NULL)
        return;
    SetWindowPos(window, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}
