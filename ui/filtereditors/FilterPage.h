#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ListWrapper.h"
#include "ui/framework/SettingsPage.h"

#include <memory>

// "フィルタ" (template 112): the filter lists of g_appSetting and the switch
// FilterSw. The lists change in place; the list editor works on a copy.
class CFilterPage : public CSettingsPage
{
public:
    HWND Create(HWND settingsDialog) override;
    void FollowDpi(int dpi) override;

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnNotify(const NMHDR* header);
    INT_PTR OnClose();

private:
    void OnAdd();
    void OnDelete();
    void OnEdit();
    // Exchanges the one selected list with its neighbour step rows away.
    void OnMove(int step);
    void OnSelectAll();
    void SetRow(int index, bool insert);

    CButtonWrapper m_useFilter;
    CListWrapper m_lists;
    static const int kButtons = 5;
    CButtonWrapper m_buttons[kButtons];
};

std::unique_ptr<CSettingsPage> MakeFilterPage();
