#include "ui/framework/ControlWrapper.h"

namespace {

const int kTextBufferSize = 1024;

}  // namespace

CControlWrapper::CControlWrapper() : m_hwnd(NULL), m_parent(NULL), m_instance(NULL), m_font(NULL), m_id(0)
{
}

CControlWrapper::~CControlWrapper()
{
    if (m_font != NULL)
        DeleteObject(m_font);
}

void CControlWrapper::Attach(HWND dialog, int id)
{
    m_hwnd = GetDlgItem(dialog, id);
    m_parent = dialog;
    m_id = id;
    m_instance = m_hwnd ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hwnd, GWLP_HINSTANCE)) : NULL;
}

HINSTANCE CControlWrapper::GetInstance()
{
    if (m_instance == NULL && m_hwnd != NULL)
        m_instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hwnd, GWLP_HINSTANCE));
    return m_instance;
}

int CControlWrapper::SetFont(const LOGFONTA& font, bool redraw)
{
    HFONT created = CreateFontIndirectA(&font);
    if (created == NULL)
        return 0;
    SendMessageA(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(created), redraw ? TRUE : FALSE);
    if (m_font != NULL)
        DeleteObject(m_font);
    m_font = created;
    return 1;
}

int CControlWrapper::AddTooltip(UINT stringId, bool multiLine, int displayMs)
{
    char text[kTextBufferSize] = "";
    LoadStringA(GetInstance(), stringId, text, sizeof(text));
    return AddTooltip(text, multiLine, displayMs);
}

int CControlWrapper::AddTooltip(const char* text, bool multiLine, int displayMs)
{
    if (m_hwnd == NULL)
        return 0;
    return m_tooltip.Create(m_hwnd, GetInstance(), text, multiLine, displayMs);
}
