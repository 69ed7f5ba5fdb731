// The control wrappers against live controls: the combo box's value table
// stays in step with the list, and each thin wrapper reaches its control.
#include "resources/resource.h"
#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ListWrapper.h"
#include "ui/framework/MenuWrapper.h"
#include "ui/framework/SpinWrapper.h"
#include "tests/support/UiHelper.h"
#include "tests/ui/TooltipProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const int kListId = 2002;
const int kSpinId = 2003;

INT_PTR CALLBACK IdleProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// The compress dialog's template as a host, with the controls it lacks added.
class ControlWrappers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host = m_dialog.CreateModeless(IDD_COMPRESS, GetResourceModule(), NULL, IdleProc);
        ASSERT_NE(nullptr, m_host);
        Add(WC_LISTVIEWA, kListId, LVS_REPORT);
        Add(UPDOWN_CLASSA, kSpinId, UDS_SETBUDDYINT | UDS_NOTHOUSANDS);
    }
    void TearDown() override { DestroyWindow(m_host); }

    void Add(const char* className, int id, DWORD style)
    {
        CreateWindowExA(0, className, "", WS_CHILD | style, 0, 0, 100, 100, m_host,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), NULL, NULL);
    }

    CDialogBase m_dialog;
    HWND m_host = NULL;
};

std::string ComboText(HWND combo, int index)
{
    char text[256] = "";
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST_F(ControlWrappers, ComboValuesFollowInsertionAndAreClearedWithTheList)
{
    CComboWrapper combo;
    combo.Attach(m_host, IDC_FORMAT);
    for (int value : {10, 20, 30})
        combo.AddString(("item" + std::to_string(value)).c_str(), value);
    combo.ResetContent();
    EXPECT_EQ(0, combo.AddString("7z", 0));
    EXPECT_EQ(1, combo.AddString("zip", 2));
    EXPECT_EQ(2, combo.AddString("plain"));
    EXPECT_EQ(3, static_cast<int>(SendMessageA(combo.GetHwnd(), CB_GETCOUNT, 0, 0)));
    EXPECT_EQ(0, combo.GetItemValue(0));
    EXPECT_EQ(2, combo.GetItemValue(1));
    EXPECT_EQ(0, combo.GetItemValue(2));
    EXPECT_EQ(-1, combo.GetItemValue(3));
    EXPECT_EQ(-1, combo.GetItemValue(-1));

    EXPECT_EQ(1, combo.SelectByValue(2));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(-1, combo.SelectByValue(30));
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(2, combo.SelectString("pla"));
    EXPECT_EQ("plain", ComboText(combo.GetHwnd(), combo.GetCurSel()));
}

TEST_F(ControlWrappers, ComboValuesLiveInTheItemsThemselves)
{
    CComboWrapper combo;
    combo.Attach(m_host, IDC_FORMAT);
    const int kItems = 1500;  // more than a fixed side table would hold
    for (int i = 0; i < kItems; ++i)
        combo.AddString(std::to_string(i).c_str(), 5000 + i);
    EXPECT_EQ(kItems, combo.GetItemCount());
    EXPECT_EQ(5000 + kItems - 1, combo.GetItemValue(kItems - 1));
    EXPECT_EQ(5000 + kItems - 1,
              static_cast<int>(SendMessageA(combo.GetHwnd(), CB_GETITEMDATA, kItems - 1, 0)));
    EXPECT_EQ(kItems - 1, combo.SelectByValue(5000 + kItems - 1));

    // An item deleted behind the wrapper's back takes its value with it.
    SendMessageA(combo.GetHwnd(), CB_DELETESTRING, 0, 0);
    EXPECT_EQ(5001, combo.GetItemValue(0));

    // A wrapper without a control does nothing.
    CComboWrapper missing;
    missing.Attach(m_host, 4242);
    EXPECT_EQ(CB_ERR, missing.AddString("x", 1));
    EXPECT_EQ(0, missing.GetItemCount());
    EXPECT_EQ(-1, missing.GetItemValue(0));
}

TEST_F(ControlWrappers, TextComesBackWholeOrCutToTheCallersBuffer)
{
    const std::string longText(3000, 'a');  // longer than any buffer of the program
    struct
    {
        std::string text;
        size_t bufferSize;
        std::string cut;
    } const rows[] = {
        {"", 1024, ""},
        {"C:\\圧縮\\表.7z", 1024, "C:\\圧縮\\表.7z"},
        {longText, 1024, std::string(1023, 'a')},
        {longText, 1, ""},
    };
    CControlWrapper edit;
    edit.Attach(m_host, IDC_OUTPUT_FILE);
    for (const auto& row : rows)
    {
        EXPECT_TRUE(edit.SetText(row.text));
        EXPECT_EQ(row.text, edit.GetText());
        EXPECT_EQ(row.cut, edit.GetText(row.bufferSize)) << row.bufferSize;
    }

    CControlWrapper missing;
    missing.Attach(m_host, 4242);
    EXPECT_FALSE(missing.SetText("x"));
    EXPECT_EQ("", missing.GetText());
}

// Only where a wrapper packs arguments or owns something: the rest is one
// message each.
TEST_F(ControlWrappers, IconsListStatesSpinRangesAndMenuOwnership)
{
    CButtonWrapper browse;
    browse.Attach(m_host, IDC_BROWSE);
    EXPECT_EQ(0, browse.SetIcon(9999));
    EXPECT_EQ(1, browse.SetIcon(IDI_BROWSE));
    EXPECT_NE(0, SendMessageA(browse.GetHwnd(), BM_GETIMAGE, IMAGE_ICON, 0));

    CListWrapper list;
    list.Attach(m_host, kListId);
    list.AddExtendedStyle(LVS_EX_FULLROWSELECT);
    list.AddExtendedStyle(LVS_EX_GRIDLINES);
    EXPECT_EQ(static_cast<LRESULT>(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              SendMessageA(list.GetHwnd(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 80;
    EXPECT_EQ(0, list.InsertColumn(0, column));
    for (int i = 0; i < 3; ++i)
    {
        LVITEMA row = {};
        row.iItem = i;
        EXPECT_EQ(i, list.InsertItem(row));
    }
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(1, list.GetNextItem(-1, LVNI_SELECTED));
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(0, list.GetNextItem(-1, LVNI_SELECTED));

    CSpinWrapper spin;
    spin.Attach(m_host, kSpinId);
    HWND buddy = GetDlgItem(m_host, IDC_OUTPUT_FILE);
    SendMessageA(spin.GetHwnd(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    spin.SetRange(0, 100);
    spin.SetPos(150);
    EXPECT_EQ(100, spin.GetPos());
    spin.SetRange32(-5, 100000);
    spin.SetPos32(70000);
    bool error = true;
    EXPECT_EQ(70000, spin.GetPos32(&error));
    EXPECT_FALSE(error);
    EXPECT_EQ("70000", GetWindowTextString(buddy));
    SetWindowTextA(buddy, "abc");
    spin.GetPos32(&error);
    EXPECT_TRUE(error);

    // An attached menu stays its owner's; a loaded one is the wrapper's.
    CMenuWrapper menu;
    EXPECT_FALSE(menu.Load(GetResourceModule(), 9999));
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 10, "開く");
    menu.Attach(popup);
    EXPECT_TRUE(menu.SetDefaultItem(10, false));
    EXPECT_EQ(10u, GetMenuDefaultItem(popup, FALSE, 0));
    menu.Destroy();
    EXPECT_TRUE(IsMenu(popup));
    DestroyMenu(popup);
}

TEST_F(ControlWrappers, TooltipsShareOneWindowPerSettingAndLeaveItOneByOne)
{
    CButtonWrapper compress, browse;
    compress.Attach(m_host, IDC_COMPRESS);
    browse.Attach(m_host, IDC_BROWSE);
    std::unique_ptr<CButtonWrapper> passing(new CButtonWrapper);
    passing->Attach(m_host, IDC_EXPAND);
    ASSERT_EQ(1, compress.AddTooltip("圧縮", true, kTooltipDisplayMs));
    ASSERT_EQ(1, passing->AddTooltip("設定", true, kTooltipDisplayMs));
    ASSERT_EQ(1, browse.AddTooltip("参照", false, 5000));

    std::map<int, CTooltipInfo> tips = TooltipsOf(m_host);
    ASSERT_EQ(3u, tips.size());
    EXPECT_EQ("圧縮", tips[IDC_COMPRESS].text);
    EXPECT_EQ("設定", tips[IDC_EXPAND].text);
    EXPECT_EQ(tips[IDC_COMPRESS].window, tips[IDC_EXPAND].window);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), tips[IDC_EXPAND].maxWidth);
    // Other settings, another window.
    EXPECT_NE(tips[IDC_COMPRESS].window, tips[IDC_BROWSE].window);
    EXPECT_EQ(5000, tips[IDC_BROWSE].autoPop);
    EXPECT_EQ(-1, tips[IDC_BROWSE].maxWidth);

    // A wrapper that goes takes only its own tool; a new text replaces the old.
    passing.reset();
    ASSERT_EQ(1, compress.AddTooltip("圧縮を開始", true, kTooltipDisplayMs));
    tips = TooltipsOf(m_host);
    EXPECT_EQ(0u, tips.count(IDC_EXPAND));
    EXPECT_EQ("圧縮を開始", tips[IDC_COMPRESS].text);
    EXPECT_EQ("参照", tips[IDC_BROWSE].text);
    EXPECT_EQ(1, SendMessageA(tips[IDC_COMPRESS].window, TTM_GETTOOLCOUNT, 0, 0));
}
