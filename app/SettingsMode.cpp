#include "app/SettingsMode.h"

#include "resources/resource.h"
#include "ui/framework/DialogBase.h"
#include "ui/settingsdialog/SettingsDialog.h"
#include "ui/framework/SettingsPage.h"

#include <windows.h>

int RunSettingsMode()
{
    // Loaded from the program's resources, the table is freed with the program.
    HACCEL keys = LoadAcceleratorsA(GetResourceModule(), MAKEINTRESOURCEA(IDR_SETTINGS_KEYS));
    CSettingsDialog dialog;
    if (dialog.Create() == NULL)
        return kSettingsDiscarded;

    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) != 0)
    {
        if (got == -1)
            return kSettingsDiscarded;
        HWND page = g_currentPageWindow;
        if (page != NULL && keys != NULL && TranslateAcceleratorA(page, keys, &message))
            continue;
        if (page != NULL && IsDialogMessageA(page, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
