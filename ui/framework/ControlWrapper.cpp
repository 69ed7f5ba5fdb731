#include "ui/framework/ControlWrapper.h"

#include <limits.h>

#include <vector>

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

bool CControlWrapper::Enable(bool enable)
{
    return EnableWindow(m_hwnd, enable ? TRUE : FALSE) != FALSE;
}

bool CControlWrapper::Show(bool show)
{
    return ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE) != FALSE;
}

bool CControlWrapper::SetText(const char* text)
{
    return SetWindowTextA(m_hwnd, text) != FALSE;
}

bool CControlWrapper::SetText(const std::string& text)
{
    return SetText(text.c_str());
}

std::string CControlWrapper::GetText() const
{
    // The length is an upper bound for double-byte text; the copy tells the real one.
    int length = GetWindowTextLengthA(m_hwnd);
    if (length <= 0)
        return std::string();
    return GetText(static_cast<size_t>(length) + 1);
}

std::string CControlWrapper::GetText(size_t bufferSize) const
{
    if (bufferSize == 0 || bufferSize > static_cast<size_t>(INT_MAX))
        return std::string();
    std::vector<char> text(bufferSize, '\0');
    GetText(text.data(), static_cast<int>(bufferSize));
    return text.data();
}

int CControlWrapper::GetText(char* buffer, int size) const
{
    return GetWindowTextA(m_hwnd, buffer, size);
}
