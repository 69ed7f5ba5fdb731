#include "ui/framework/TooltipWrapper.h"

#include <string.h>

CTooltipWrapper::CTooltipWrapper() : m_hwnd(NULL), m_owner(NULL), m_instance(NULL)
{
    memset(&m_tool, 0, sizeof(m_tool));
}

CTooltipWrapper::~CTooltipWrapper()
{
    Destroy();
}

void CTooltipWrapper::Destroy()
{
    // The tooltip is owned by the dialog and usually went away with it.
    if (m_hwnd != NULL && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = NULL;
}

int CTooltipWrapper::Create(HWND control, HINSTANCE instance, const char* text, bool multiLine, int displayMs)
{
    Destroy();
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);

    m_owner = control;
    m_instance = instance;
    m_hwnd = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, NULL, instance, NULL);
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
    if (multiLine)
        SendMessageA(m_hwnd, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    SendMessageA(m_hwnd, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(displayMs, 0));
    SendMessageA(m_hwnd, TTM_ACTIVATE, TRUE, 0);
    return 1;
}
