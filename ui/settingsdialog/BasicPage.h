#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/SettingsPage.h"

// "基本設定" (template 108): the general behaviour of g_appSetting.
class CBasicPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;
    void FollowDpi(int dpi) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    void FillFormats();
    void FillOverwriteActions();
    void OnBrowse();

    CComboWrapper m_defaultFormat;
    CComboWrapper m_overwriteAction;
    CControlWrapper m_outputFolder;
    CButtonWrapper m_browse;
    static const int kCheckBoxes = 9;
    CButtonWrapper m_checks[kCheckBoxes];
};
