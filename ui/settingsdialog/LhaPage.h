#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/SettingsPage.h"

// "Unlha32.dll" (template 113): the options of g_lhaSettings.
class CLhaPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CComboWrapper m_method;
    CComboWrapper m_sfxKind;
    CButtonWrapper m_sfxSetup;
};
