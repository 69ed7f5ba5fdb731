#pragma once

#include "common/Dpi.h"
#include "ui/framework/ControlWrapper.h"

// A push button or check box.
class CButtonWrapper : public CControlWrapper
{
public:
    // BM_GETCHECK: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int state);
    // The icon resource at the small-icon size of the button's DPI (16×16 at
    // 96 DPI), through BM_SETIMAGE; 0 when it cannot be loaded. The button
    // keeps it; after a DPI change SetIcon again loads the new size.
    int SetIcon(int iconId);
    int SetIcon(int iconId, int dpi);

private:
    CScopedIcon m_icon;
};
