#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/SettingsPage.h"
#include "ui/settingsdialog/FormatPageParts.h"

// "Tessik7z.dll" (template 125): the options of g_tessik7zSettings.
class CTessik7zPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CSpinField m_level;
    CSpinField m_solidBlock;
    CSpinField m_threads;
    CButtonWrapper m_checks[2];
};
