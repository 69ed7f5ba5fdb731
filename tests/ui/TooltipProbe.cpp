#include "tests/ui/TooltipProbe.h"

#include <commctrl.h>

#include <string.h>

namespace {

struct CTooltipSearch
{
    HWND dialog;
    std::map<int, CTooltipInfo> byControl;
};

BOOL CALLBACK CollectTooltip(HWND window, LPARAM param)
{
    CTooltipSearch* search = reinterpret_cast<CTooltipSearch*>(param);
    char className[64] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, TOOLTIPS_CLASSA) != 0)
        return TRUE;
    // A tool's window is the control's dialog; the tooltip window itself is
    // owned by the top-level window (for a page, the dialog around it) and
    // may hold the tools of several controls and dialogs.
    LRESULT count = SendMessageA(window, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index)
    {
        TOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        if (!SendMessageA(window, TTM_ENUMTOOLSA, index, reinterpret_cast<LPARAM>(&tool)) ||
            tool.hwnd != search->dialog)
            continue;
        // The ANSI request is cut at 80 bytes by some platforms: read it wide.
        wchar_t wide[1024] = L"";
        TOOLINFOW wideTool = {};
        wideTool.cbSize = sizeof(wideTool);
        wideTool.hwnd = tool.hwnd;
        wideTool.uId = tool.uId;
        wideTool.lpszText = wide;
        SendMessageW(window, TTM_GETTEXTW, sizeof(wide) / sizeof(wide[0]), reinterpret_cast<LPARAM>(&wideTool));
        char text[2048] = "";
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), NULL, NULL);
        CTooltipInfo info;
        info.text = text;
        info.autoPop = SendMessageA(window, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
        info.maxWidth = SendMessageA(window, TTM_GETMAXTIPWIDTH, 0, 0);
        info.window = window;
        search->byControl[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = info;
    }
    return TRUE;
}

}  // namespace

std::map<int, CTooltipInfo> TooltipsOf(HWND dialog)
{
    CTooltipSearch search = {dialog, {}};
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&search));
    return search.byControl;
}
