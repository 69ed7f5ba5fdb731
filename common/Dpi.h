#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>

// Sizes the program gives in pixels are for this DPI (100 %); every other
// scale multiplies them by its DPI over this one.
const int kBaseDpi = 96;

// The DPI a window is drawn at: GetDpiForWindow where the platform has it
// (Windows 10 1607 on; the binaries also run on Windows 7, so it is looked up
// at run time), otherwise the LOGPIXELSY of the window's device context, which
// is the system DPI.
int GetWindowDpi(HWND window);

// value, given for kBaseDpi, at dpi; and back.
int ScaleForDpi(int value, int dpi);
int UnscaleForDpi(int value, int dpi);

// GetSystemMetricsForDpi where the platform has it, otherwise the system's
// metric scaled from the system DPI to dpi.
int GetSystemMetricForDpi(int index, int dpi);

// AdjustWindowRectExForDpi where the platform has it, otherwise
// AdjustWindowRectEx (the frame at the system DPI).
bool AdjustWindowRectForDpi(RECT* rect, DWORD style, bool menu, DWORD exStyle, int dpi);

// Icon iconId of module at size × size pixels, scaled down from a larger image
// where the icon has no image of that size (LoadIconWithScaleDown of common
// controls 6 when it is loaded, otherwise LoadImage). The caller owns the
// icon: DestroyIcon. NULL when the icon cannot be loaded.
HICON LoadIconAtSize(HINSTANCE module, int iconId, int size);

// The icon sizes a window at dpi shows in its caption (SM_CXSMICON) and in
// the task switcher (SM_CXICON).
int SmallIconSize(int dpi);
int LargeIconSize(int dpi);

// Moves and sizes window to the rectangle WM_DPICHANGED suggests (its lParam).
void MoveToSuggestedRect(HWND window, const RECT* suggested);
