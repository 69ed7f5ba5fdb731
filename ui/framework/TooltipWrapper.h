#pragma once

#include <windows.h>
#include <commctrl.h>

// One tooltip window for one control; destroyed with the wrapper.
class CTooltipWrapper
{
public:
    CTooltipWrapper();
    ~CTooltipWrapper();

    // Creates the tooltip for control (replacing an earlier one) with text;
    // 0 when the tooltip window cannot be created.
    int Create(HWND control, HINSTANCE instance, const char* text, bool multiLine, int displayMs);
    void Destroy();

    HWND GetHwnd() const { return m_hwnd; }

private:
    CTooltipWrapper(const CTooltipWrapper&);
    CTooltipWrapper& operator=(const CTooltipWrapper&);

    HWND m_hwnd;
    HWND m_owner;
    HINSTANCE m_instance;
    TOOLINFOA m_tool;
};
