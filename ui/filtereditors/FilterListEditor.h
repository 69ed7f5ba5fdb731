#pragma once

#include "settings/FilterList.h"
#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ListWrapper.h"

#include <string>
#include <vector>

// The list the list editor shows and changes. The filter page fills it
// before it opens the editor and copies it back after OK.
extern CFilterList g_workingFilterList;

// The texts of a definition's row: type, pattern (".(拡張子なし)" for the
// extension pattern "."), comment.
std::vector<std::string> DefinitionRowTexts(const CFilterDef& definition);

// The filter-list editor (template 110), modal.
class CFilterListEditor : public CDialogBase
{
public:
    // 1 for OK, 2 for Cancel or the close box. While it is open the editor is
    // the current page window.
    INT_PTR Run(HWND owner);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnNotify(const NMHDR* header);
    INT_PTR OnClose();
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

private:
    void Fill();
    void OnAdd();
    void OnDelete();
    void OnEdit();
    void OnExport();
    void OnImport();
    // The working list as edited so far, on a folder the user picks.
    void OnPreview();
    void OnOk();
    void End(INT_PTR result);
    // Takes title, comment and action into the working list; nothing while the
    // title is empty. False then.
    bool StoreEdits();

    CControlWrapper m_title;
    CControlWrapper m_comment;
    CListWrapper m_definitions;
    CComboWrapper m_action;
    CButtonWrapper m_gitIgnore;
    static const int kButtons = 6;
    CButtonWrapper m_buttons[kButtons];
};
