#pragma once

#include "ui/framework/ControlWrapper.h"

// A push button or check box.
class CButtonWrapper : public CControlWrapper
{
public:
    // BM_GETCHECK: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const;
    void SetCheck(int state);
    // The icon resource at 16×16, through BM_SETIMAGE; 0 when it cannot be loaded.
    int SetIcon(int iconId);
};
