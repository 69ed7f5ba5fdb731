#include "ui/framework/MenuWrapper.h"

CMenuWrapper::CMenuWrapper() : m_menu(NULL), m_owned(false)
{
}

CMenuWrapper::~CMenuWrapper()
{
    Destroy();
}

bool CMenuWrapper::Load(HINSTANCE module, int menuId)
{
    Destroy();
    m_menu = LoadMenuA(module, MAKEINTRESOURCEA(menuId));
    m_owned = m_menu != NULL;
    return m_menu != NULL;
}

void CMenuWrapper::Attach(HMENU menu)
{
    Destroy();
    m_menu = menu;
    m_owned = false;
}

HMENU CMenuWrapper::GetSubMenu(int position) const
{
    return m_menu != NULL ? ::GetSubMenu(m_menu, position) : NULL;
}

int CMenuWrapper::TrackPopupMenu(UINT flags, int x, int y, HWND owner) const
{
    if (m_menu == NULL)
        return 0;
    return ::TrackPopupMenu(m_menu, flags, x, y, 0, owner, NULL);
}

bool CMenuWrapper::SetDefaultItem(UINT item, bool byPosition)
{
    return m_menu != NULL && SetMenuDefaultItem(m_menu, item, byPosition ? TRUE : FALSE) != FALSE;
}

bool CMenuWrapper::SetItemInfo(UINT item, bool byPosition, const MENUITEMINFOA& info)
{
    return m_menu != NULL && SetMenuItemInfoA(m_menu, item, byPosition ? TRUE : FALSE, &info) != FALSE;
}

void CMenuWrapper::Destroy()
{
    if (m_menu != NULL && m_owned)
        DestroyMenu(m_menu);
    m_menu = NULL;
    m_owned = false;
}
