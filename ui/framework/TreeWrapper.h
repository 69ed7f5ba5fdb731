#pragma once

#include "ui/framework/ControlWrapper.h"

#include <commctrl.h>

// A tree view.
class CTreeWrapper : public CControlWrapper
{
public:
    // TVM_INSERTITEMA; NULL when the item could not be inserted.
    HTREEITEM InsertItem(const TVINSERTSTRUCTA& item);
    // TVM_SELECTITEM with TVGN_CARET.
    bool SelectItem(HTREEITEM item);
};
