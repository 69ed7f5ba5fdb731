#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/settingsdialog/FormatPageParts.h"
#include "ui/framework/SettingsPage.h"

// "Cab32.dll" (template 117): the options of g_cabSettings.
class CCabPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CComboWrapper m_method;
    CSpinField m_lzxLevel;
    CButtonWrapper m_multiVolume;
    CSpinField m_volumeSize;
};
