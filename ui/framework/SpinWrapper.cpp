#include "ui/framework/SpinWrapper.h"

void CSpinWrapper::SetRange(int lower, int upper)
{
    if (m_hwnd != NULL)
        SendMessageA(m_hwnd, UDM_SETRANGE, 0, MAKELPARAM(static_cast<short>(upper), static_cast<short>(lower)));
}

void CSpinWrapper::SetRange32(int lower, int upper)
{
    if (m_hwnd != NULL)
        SendMessageA(m_hwnd, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int CSpinWrapper::SetPos(int position)
{
    if (m_hwnd == NULL)
        return 0;
    return static_cast<short>(LOWORD(SendMessageA(m_hwnd, UDM_SETPOS, 0, MAKELPARAM(static_cast<short>(position), 0))));
}

int CSpinWrapper::GetPos(bool* error) const
{
    LRESULT answer = m_hwnd != NULL ? SendMessageA(m_hwnd, UDM_GETPOS, 0, 0) : MAKELRESULT(0, 1);
    if (error != nullptr)
        *error = HIWORD(answer) != 0;
    return static_cast<short>(LOWORD(answer));
}

int CSpinWrapper::SetPos32(int position)
{
    if (m_hwnd == NULL)
        return 0;
    return static_cast<int>(SendMessageA(m_hwnd, UDM_SETPOS32, 0, static_cast<LPARAM>(position)));
}

int CSpinWrapper::GetPos32(bool* error) const
{
    BOOL failed = TRUE;
    int position = 0;
    if (m_hwnd != NULL)
        position = static_cast<int>(SendMessageA(m_hwnd, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (error != nullptr)
        *error = failed != FALSE;
    return position;
}
