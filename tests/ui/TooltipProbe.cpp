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
    if (strcmp(className, TOOLTIPS_CLASSA) != 0 || GetWindow(window, GW_OWNER) != search->dialog)
        return TRUE;
    TOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    if (!SendMessageA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)))
        return TRUE;
    char text[1024] = "";
    tool.lpszText = text;
    SendMessageA(window, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&tool));
    CTooltipInfo info;
    info.text = text;
    info.autoPop = SendMessageA(window, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
    info.maxWidth = SendMessageA(window, TTM_GETMAXTIPWIDTH, 0, 0);
    search->byControl[GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId))] = info;
    return TRUE;
}

}  // namespace

std::map<int, CTooltipInfo> TooltipsOf(HWND dialog)
{
    CTooltipSearch search = {dialog, {}};
    EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&search));
    return search.byControl;
}
