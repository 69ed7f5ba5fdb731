#pragma once

#include "ui/ButtonWrapper.h"
#include "ui/ComboWrapper.h"
#include "ui/SettingsPage.h"

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
