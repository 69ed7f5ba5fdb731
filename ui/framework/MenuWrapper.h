#pragma once

#include <windows.h>

// A menu handle. A menu loaded through Load belongs to the wrapper and is
// destroyed with it; an attached one (a sub-menu) stays its parent's.
class CMenuWrapper
{
public:
    CMenuWrapper();
    ~CMenuWrapper();

    bool Load(HINSTANCE module, int menuId);
    void Attach(HMENU menu);
    HMENU GetSubMenu(int position) const;
    // TrackPopupMenu: with TPM_RETURNCMD the chosen command, else non-zero on success.
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner) const;
    bool SetDefaultItem(UINT item, bool byPosition);
    bool SetItemInfo(UINT item, bool byPosition, const MENUITEMINFOA& info);
    void Destroy();

    HMENU GetHandle() const { return m_menu; }

private:
    CMenuWrapper(const CMenuWrapper&);
    CMenuWrapper& operator=(const CMenuWrapper&);

    HMENU m_menu;
    bool m_owned;
};
