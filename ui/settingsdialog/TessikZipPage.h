#pragma once

#include "ui/framework/ComboWrapper.h"
#include "ui/framework/SettingsPage.h"
#include "ui/settingsdialog/FormatPageParts.h"

// "TessikZip.dll" (template 123): the options of g_tessikZipSettings.
class CTessikZipPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CSpinField m_level;
    CComboWrapper m_method;
    CComboWrapper m_encryption;
    CComboWrapper m_names;
    CSpinField m_threads;
};
