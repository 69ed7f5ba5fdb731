#include "ui/framework/SettingsPage.h"

HWND g_currentPageWindow = NULL;

bool HandleMnemonic(HWND page, int command, const CMnemonic* table, size_t count)
{
    if (command < kAltLetterFirst || command > kAltLetterLast)
        return false;
    char letter = static_cast<char>('A' + (command - kAltLetterFirst));
    for (size_t i = 0; i < count; ++i)
    {
        if (table[i].letter != letter)
            continue;
        HWND control = GetDlgItem(page, table[i].controlId);
        if (control == NULL || !IsWindowEnabled(control))
            return true;
        SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        if (table[i].toggles)
        {
            bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            SendMessageA(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(table[i].controlId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(control));
        }
        return true;
    }
    return false;
}
