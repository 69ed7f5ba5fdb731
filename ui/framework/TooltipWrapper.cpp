#include "ui/framework/TooltipWrapper.h"

#include <string.h>

namespace {

// Marks the tooltip windows made here (in their user data), so that a
// control's own tooltip (a list view's, say) is never taken for one.
const LONG_PTR kSharedTooltipMark = 0x54544950;  // "TTIP"

LRESULT MaxTipWidth(bool multiLine)
{
    return multiLine ? GetSystemMetrics(SM_CXSCREEN) : -1;
}

struct CSharedSearch
{
    HWND owner;
    bool multiLine;
    int displayMs;
    HWND found;
};

BOOL CALLBACK MatchShared(HWND window, LPARAM context)
{
    CSharedSearch* search = reinterpret_cast<CSharedSearch*>(context);
    if (GetWindow(window, GW_OWNER) != search->owner ||
        GetWindowLongPtrA(window, GWLP_USERDATA) != kSharedTooltipMark ||
        SendMessageA(window, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0) != search->displayMs ||
        SendMessageA(window, TTM_GETMAXTIPWIDTH, 0, 0) != MaxTipWidth(search->multiLine))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The tooltip window of control's dialog with these settings, made when there
// is none yet. A popup made with a control as its parent is owned by the
// control's top-level window: for a page, the dialog around it.
HWND SharedTooltipFor(HWND control, HINSTANCE instance, bool multiLine, int displayMs)
{
    CSharedSearch search = {GetAncestor(control, GA_ROOT), multiLine, displayMs, NULL};
    EnumThreadWindows(GetWindowThreadProcessId(control, NULL), MatchShared, reinterpret_cast<LPARAM>(&search));
    if (search.found != NULL)
        return search.found;

    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, NULL, instance, NULL);
    if (tooltip == NULL)
        return NULL;
    SetWindowLongPtrA(tooltip, GWLP_USERDATA, kSharedTooltipMark);
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth(multiLine));
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(displayMs, 0));
    SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
    return tooltip;
}

}  // namespace

CTooltipWrapper::CTooltipWrapper() : m_hwnd(NULL)
{
    memset(&m_tool, 0, sizeof(m_tool));
}

CTooltipWrapper::~CTooltipWrapper()
{
    Destroy();
}

void CTooltipWrapper::Destroy()
{
    // The tooltip window usually went away with its dialog; when it is still
    // there, only this control's tool leaves it.
    if (m_hwnd != NULL && IsWindow(m_hwnd))
        SendMessageA(m_hwnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&m_tool));
    m_hwnd = NULL;
}

int CTooltipWrapper::Create(HWND control, HINSTANCE instance, const char* text, bool multiLine, int displayMs)
{
    Destroy();
    m_hwnd = SharedTooltipFor(control, instance, multiLine, displayMs);
    if (m_hwnd == NULL)
        return 0;

    memset(&m_tool, 0, sizeof(m_tool));
    m_tool.cbSize = sizeof(m_tool);
    m_tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    m_tool.hwnd = GetParent(control);
    m_tool.uId = reinterpret_cast<UINT_PTR>(control);
    GetClientRect(control, &m_tool.rect);
    m_tool.hinst = instance;
    m_tool.lpszText = const_cast<char*>(text);
    SendMessageA(m_hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&m_tool));
    // The tooltip keeps its own copy of the text.
    m_tool.lpszText = NULL;
    return 1;
}
