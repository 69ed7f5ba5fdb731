#pragma once

#include <windows.h>

#include <map>
#include <string>

// What a control's tooltip holds, read from the live tooltip window.
struct CTooltipInfo
{
    std::string text;
    LRESULT autoPop = 0;
    LRESULT maxWidth = 0;
    // The tooltip window that holds the tool.
    HWND window = NULL;
};

// The tooltips of a dialog's controls by control id.
std::map<int, CTooltipInfo> TooltipsOf(HWND dialog);
