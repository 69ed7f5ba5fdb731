#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/SettingsPage.h"

// "シェルエクステンション" (template 114): starts the installer beside the program.
class CShellExtPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose() { return TRUE; }

private:
    CButtonWrapper m_installer;
};

// "バージョン情報" (template 115): the program's version, rights, home page and mail address.
class CVersionPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose() { return TRUE; }

private:
    CButtonWrapper m_homePage;
    CButtonWrapper m_mail;
};

// The texts of the version page.
extern const char kProgramVersion[];
extern const char kRightsNotice[];
extern const char kHomePageAddress[];
extern const char kMailAddress[];
