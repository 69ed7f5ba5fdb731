#pragma once

#include "settings/FilterList.h"
#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/DialogBase.h"

// The definition the definition editor shows and changes. The list editor
// fills it before it opens the editor and copies it back after OK.
extern CFilterDef g_workingFilterDef;

// The definition editor (template 111), modal.
class CFilterDefEditor : public CDialogBase
{
public:
    // 1 for OK, 2 for Cancel or the close box. While it is open the editor is
    // the current page window.
    INT_PTR Run(HWND owner);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

private:
    void OnSwitchClicked(int id);
    void OnOk();

    CComboWrapper m_target;
    CControlWrapper m_pattern;
    CControlWrapper m_comment;
    CButtonWrapper m_alphabetBS;
    CButtonWrapper m_regex;
};
