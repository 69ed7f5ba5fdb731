#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/settingsdialog/FormatPageParts.h"
#include "ui/framework/SettingsPage.h"

// "Zip32j.dll" (template 116): the options of g_zipSettings. Both line-end
// conversions may be on at once.
class CZipPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CSpinField m_level;
    static const int kCheckBoxes = 2;
    CButtonWrapper m_checks[kCheckBoxes];
};
