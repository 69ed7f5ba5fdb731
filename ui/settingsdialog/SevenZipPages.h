#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/settingsdialog/FormatPageParts.h"
#include "ui/framework/SettingsPage.h"

// "7-Zip32.dll (7Z形式)" (template 118): the 7z options of g_sevenZipSettings,
// including the self-extracting module of the 7z self-extracting format.
class CSevenZipPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    void FillModules();
    void StoreModule();

    CComboWrapper m_level;
    CComboWrapper m_method;
    CComboWrapper m_module;
    static const int kCheckBoxes = 5;
    CButtonWrapper m_checks[kCheckBoxes];
    CControlWrapper m_command;
    // Whether any module was found at start: only then does the list stand
    // for modules, and only then is the choice stored.
    bool m_modulesListed = false;
};

// "7-Zip32.dll (ZIP形式)" (template 107): the ZIP options of g_sevenZipSettings.
class CSevenZipZipPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CComboWrapper m_level;
    CComboWrapper m_method;
    CSpinField m_fastBytes;
    CSpinField m_passes;
};
