#pragma once

#include <windows.h>
#include <commctrl.h>

// One control's tool in a tooltip window. The controls of one dialog that
// show their tips alike share one tooltip window (each window costs a good
// part of a dialog's start-up under Wine); it is owned by the dialog and goes
// with it. The wrapper removes its own tool when it is destroyed.
class CTooltipWrapper
{
public:
    CTooltipWrapper();
    ~CTooltipWrapper();

    // Gives control the tip text (replacing an earlier one), in the dialog's
    // tooltip window with these settings, made when there is none yet; 0 when
    // no tooltip window can be made.
    int Create(HWND control, HINSTANCE instance, const char* text, bool multiLine, int displayMs);
    void Destroy();

    HWND GetHwnd() const { return m_hwnd; }

private:
    CTooltipWrapper(const CTooltipWrapper&);
    CTooltipWrapper& operator=(const CTooltipWrapper&);

    HWND m_hwnd;
    TOOLINFOA m_tool;
};
