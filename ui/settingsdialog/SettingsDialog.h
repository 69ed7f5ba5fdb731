#pragma once

#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/SettingsPage.h"
#include "ui/framework/TreeWrapper.h"

#include <map>
#include <memory>

// Run results of the settings dialog, the parameter of the quit message that
// ends settings mode: 1 writes the settings file, 2 leaves it alone.
const int kSettingsSaved = 1;
const int kSettingsDiscarded = 2;

// The only window of settings mode (template 106, modeless, no owner): a tree
// of pages on the left and the selected page on the right. The pages edit
// g_appSetting and the format builders' settings in place.
class CSettingsDialog : public CDialogBase
{
public:
    CSettingsDialog();
    ~CSettingsDialog() override;

    // Creates the dialog and shows it; NULL when it could not be made.
    HWND Create();

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnNotify(const NMHDR* header);
    INT_PTR OnClose();
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

    // Creates page as a hidden child and pairs it with a new tree item with
    // caption under parent (TVI_ROOT for a root item), appended last. Returns
    // the item, NULL when either could not be made.
    HTREEITEM AddPage(std::unique_ptr<CSettingsPage> page, HTREEITEM parent, const char* caption);

private:
    // Every page at its place beside the tree, for the dialog's DPI.
    void PlacePages();
    void AddFormatPages(HTREEITEM basicItem);
    void ShowPage(HTREEITEM item);
    void OnHelp();
    // Stores the position, lets every page store its controls, ends every
    // page, then ends settings mode with result.
    void CloseWith(int result);

    CTreeWrapper m_tree;
    CButtonWrapper m_ok;
    CButtonWrapper m_cancel;
    CButtonWrapper m_help;
    std::map<HTREEITEM, std::unique_ptr<CSettingsPage>> m_pages;
};
