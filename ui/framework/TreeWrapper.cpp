#include "ui/framework/TreeWrapper.h"

HTREEITEM CTreeWrapper::InsertItem(const TVINSERTSTRUCTA& item)
{
    if (m_hwnd == NULL)
        return NULL;
    return reinterpret_cast<HTREEITEM>(SendMessageA(m_hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CTreeWrapper::SelectItem(HTREEITEM item)
{
    if (m_hwnd == NULL)
        return false;
    return SendMessageA(m_hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != FALSE;
}
