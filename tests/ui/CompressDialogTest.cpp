// The compress dialog as the user meets it: what it proposes and shows, how it
// folds, follows the chosen format and keys, what it hands to a job, and what
// it leaves in the settings when it closes.
#include "app/CompressMode.h"
#include "job/InputList.h"
#include "tests/support/DialogJob.h"
#include "archivers/formats/FormatRegistry.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/TooltipProbe.h"
#include "tests/ui/WindowImage.h"
#include "ui/jobdialogs/CompressDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

const char kCompressTitle[] = "圧縮  - Tessik";
const char kPasswordTitle[] = "パスワードの設定";
const char kSaveTitle[] = "保存先の指定";
const int kAllControls[] = {IDC_OUTPUT_FILE, IDC_BROWSE, IDC_FORMAT, IDC_FILTER_LIST, IDC_USE_PASSWORD,
                            IDC_EXPAND,      IDC_COMPRESS, IDC_USE_FILTER, IDC_OPEN_FOLDER};

std::string ItemText(HWND dialog, int id)
{
    return GetWindowTextString(GetDlgItem(dialog, id));
}

// Chooses a format as the user does: the selection, then its notification.
void ChooseFormat(HWND dialog, int index)
{
    HWND combo = GetDlgItem(dialog, IDC_FORMAT);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FORMAT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int ClientHeight(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client.bottom;
}

std::map<int, bool> EnabledControls(HWND dialog)
{
    std::map<int, bool> enabled;
    for (int id : kAllControls)
        enabled[id] = IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
    return enabled;
}

bool CloseCommandEnabled(HWND dialog)
{
    UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

// Runs look on the compress dialog, then closes it with its close box.
CDialogScript::CStep LookThenClose(std::function<void(HWND)> look)
{
    CDialogScript::CStep step;
    step.title = kCompressTitle;
    step.action = [look](HWND window) {
        look(window);
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    return step;
}

// Acts on the compress dialog and leaves it open for the dialogs that follow.
CDialogScript::CStep Act(std::function<void(HWND)> action)
{
    CDialogScript::CStep step;
    step.title = kCompressTitle;
    step.action = action;
    step.waitClose = false;
    return step;
}

class CompressDialog : public ::testing::Test
{
protected:
    CompressDialog() : m_standIns(kAllStandIns)
    {
        m_standIns.Script("7-Zip32.dll", "version=431\ncreate=archive\n");
        m_standIns.Register();
        g_appSetting = CAppSetting();
        g_appSetting.DefaultArcType = 0;
        g_appSetting.CmpEndExit = false;
        g_testInputs.clear();
    }
    ~CompressDialog() override
    {
        g_appSetting = CAppSetting();
        g_testInputs.clear();
    }

    int Run(const std::vector<CDialogScript::CStep>& steps, std::vector<CDialogScript::CSeen>* seen = nullptr)
    {
        CDialogScript script(steps);
        int result = RunCompressDialog(g_testInputs, nullptr);
        const std::vector<CDialogScript::CSeen>& windows = script.Finish();
        if (seen != nullptr)
            *seen = windows;
        return result;
    }

    int FormatIndex(int id) const
    {
        int index = 0;
        for (const auto& entry : GetFormatRegistry())
        {
            if (entry.first == id)
                return index;
            ++index;
        }
        return -1;
    }

    CStandInFormats m_standIns;
    CTestFolder m_data;
};

}  // namespace

TEST_F(CompressDialog, OpensFoldedAtTheStoredPositionWithItsTemplateTooltipsAndSettings)
{
    g_testInputs = {"C:\\work\\docs\\report.txt"};
    CFilterList list;
    list.Title = "画像除外";
    g_appSetting.FilterLists = {list};
    g_appSetting.FilterSw = true;
    g_appSetting.OutFolderOpen = true;
    g_appSetting.WindowLeft = 120;
    g_appSetting.WindowTop = 90;

    // Template places (x, y, width, height in dialog units), mapped on the live
    // dialog as the platform maps them: origin and size each on their own.
    struct
    {
        int id;
        RECT units;
    } places[] = {
        {IDC_OUTPUT_FILE, {55, 3, 190, 12}},  {IDC_BROWSE, {247, 1, 16, 15}},
        {IDC_USE_PASSWORD, {174, 20, 90, 8}}, {IDC_EXPAND, {174, 32, 40, 17}},
        {IDC_COMPRESS, {221, 32, 40, 17}},    {IDC_USE_FILTER, {10, 66, 158, 8}},
        {IDC_OPEN_FOLDER, {10, 77, 158, 8}},
    };
    CWindowSnapshot folded, unfolded;
    std::map<int, CTooltipInfo> tooltips;
    std::map<int, std::pair<RECT, RECT>> rects;  // expected, found
    RECT window = {}, fullClient = {};
    int foldedHeight = 0, unfoldedHeight = 0;
    std::vector<std::string> formats, filters;
    LOGFONTA font = {};
    int dpi = 0;
    bool icons = false, filterChecked = false, openChecked = false;
    SIZE foldedImage = {}, unfoldedImage = {};
    RECT unfoldedWindow = {};
    auto look = [&](HWND dialog) {
        folded = SnapshotWindow(dialog);
        foldedImage = SaveWindowImage(dialog, ArtefactPath("compress-dialog-folded.bmp"));
        tooltips = TooltipsOf(dialog);
        GetWindowRect(dialog, &window);
        foldedHeight = ClientHeight(dialog);
        fullClient = {0, 0, 265, 95};
        MapDialogRect(dialog, &fullClient);
        for (const auto& place : places)
        {
            RECT expected = place.units, found;
            MapDialogRect(dialog, &expected);
            GetWindowRect(GetDlgItem(dialog, place.id), &found);
            MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&found), 2);
            rects[place.id] = {expected, {found.left, found.top, found.right - found.left, found.bottom - found.top}};
        }
        formats = ComboItems(GetDlgItem(dialog, IDC_FORMAT));
        filters = ComboItems(GetDlgItem(dialog, IDC_FILTER_LIST));
        HWND field = GetDlgItem(dialog, IDC_OUTPUT_FILE);
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(field, WM_GETFONT, 0, 0)), sizeof(font), &font);
        HDC dc = GetDC(field);
        dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(field, dc);
        icons = SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0) != 0 &&
                SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) != 0 &&
                SendMessageA(GetDlgItem(dialog, IDC_BROWSE), BM_GETIMAGE, IMAGE_ICON, 0) != 0;
        filterChecked = SendMessageA(GetDlgItem(dialog, IDC_USE_FILTER), BM_GETCHECK, 0, 0) == BST_CHECKED;
        openChecked = SendMessageA(GetDlgItem(dialog, IDC_OPEN_FOLDER), BM_GETCHECK, 0, 0) == BST_CHECKED;

        PressButton(dialog, IDC_EXPAND);
        WaitUntil([&] { return ItemText(dialog, IDC_EXPAND) == "▲設定(&S)"; });
        unfolded = SnapshotWindow(dialog);
        unfoldedHeight = ClientHeight(dialog);
        Sleep(200);
        GetWindowRect(dialog, &unfoldedWindow);
        unfoldedImage = SaveWindowImage(dialog, ArtefactPath("compress-dialog-unfolded.bmp"));
        SetWindowPos(dialog, NULL, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    };
    EXPECT_EQ(1, Run({LookThenClose(look)}));

    EXPECT_EQ(kCompressTitle, folded.title);
    EXPECT_EQ(120, window.left);
    EXPECT_EQ(90, window.top);
    EXPECT_EQ(200, g_appSetting.WindowLeft);
    EXPECT_EQ(150, g_appSetting.WindowTop);
    EXPECT_EQ(0, g_appSetting.DefaultArcType);

    for (const auto& place : rects)
    {
        EXPECT_EQ(place.second.first.left, place.second.second.left) << place.first;
        EXPECT_EQ(place.second.first.top, place.second.second.top) << place.first;
        EXPECT_EQ(place.second.first.right, place.second.second.right) << place.first;
        EXPECT_EQ(place.second.first.bottom, place.second.second.bottom) << place.first;
    }
    std::map<int, std::string> texts = {
        {IDC_OUTPUT_FILE, "C:\\work\\docs\\report.7z"},
        {IDC_BROWSE, "参照(&R)"},
        {IDC_USE_PASSWORD, "パスワードを設定する(&W)"},
        {IDC_COMPRESS, "圧縮(&C)"},
        {IDC_USE_FILTER, "フィルターを使用する(&U)"},
        {IDC_OPEN_FOLDER, "出力フォルダを開く(&H)"},
    };
    for (const auto& text : texts)
    {
        ASSERT_NE(nullptr, folded.Find(text.first)) << text.first;
        EXPECT_EQ(text.second, folded.Find(text.first)->text) << text.first;
    }
    EXPECT_TRUE(folded.Find(IDC_COMPRESS)->style & BS_DEFPUSHBUTTON);
    EXPECT_TRUE(folded.Find(IDC_BROWSE)->style & BS_ICON);
    EXPECT_TRUE(icons);
    std::vector<std::string> labels;
    for (const CControlSnapshot& control : folded.controls)
        if (control.className == "Static" || (control.style & BS_TYPEMASK) == BS_GROUPBOX)
            labels.push_back(control.text);
    EXPECT_EQ((std::vector<std::string>{"出力ﾌｧｲﾙ(&O):", "圧縮形式(&T):", "フィルタリスト(&F):", "一時設定"}), labels);
    EXPECT_EQ("ＭＳ ゴシック", std::string(font.lfFaceName));
    EXPECT_EQ(-MulDiv(9, dpi, 72), font.lfHeight);
    EXPECT_EQ(DEFAULT_CHARSET, font.lfCharSet);

    // Folded: cut at 80 pixels with the two switches disabled but keeping their marks.
    EXPECT_EQ(kFoldedClientHeight, foldedHeight);
    EXPECT_EQ("▼設定(&S)", folded.Find(IDC_EXPAND)->text);
    EXPECT_FALSE(folded.Find(IDC_USE_FILTER)->enabled);
    EXPECT_FALSE(folded.Find(IDC_OPEN_FOLDER)->enabled);
    EXPECT_TRUE(filterChecked);
    EXPECT_TRUE(openChecked);
    EXPECT_TRUE(folded.Find(IDC_FILTER_LIST)->enabled);
    EXPECT_TRUE(folded.Find(IDC_USE_PASSWORD)->enabled);
    EXPECT_EQ(fullClient.bottom, unfoldedHeight);
    // Pictures of both states for people, in the build folder's artefacts.
    EXPECT_EQ(window.right - window.left, foldedImage.cx);
    EXPECT_EQ(window.bottom - window.top, foldedImage.cy);
    EXPECT_EQ(unfoldedWindow.bottom - unfoldedWindow.top, unfoldedImage.cy);
    EXPECT_EQ(unfoldedHeight - foldedHeight, unfoldedImage.cy - foldedImage.cy);
    EXPECT_EQ("▲設定(&S)", unfolded.Find(IDC_EXPAND)->text);
    EXPECT_TRUE(unfolded.Find(IDC_USE_FILTER)->enabled);
    EXPECT_TRUE(unfolded.Find(IDC_OPEN_FOLDER)->enabled);

    // The registered formats in id order, the default one selected; the filter lists.
    std::vector<std::string> expectedFormats;
    for (const auto& entry : GetFormatRegistry())
        expectedFormats.push_back(entry.second->GetDisplayName());
    EXPECT_EQ(expectedFormats, formats);
    EXPECT_EQ("7-Zip32.dll　-　7Z書庫(*.7z)", folded.Find(IDC_FORMAT)->text);
    EXPECT_EQ(std::vector<std::string>{"画像除外"}, filters);
    EXPECT_EQ("画像除外", folded.Find(IDC_FILTER_LIST)->text);

    std::map<int, std::string> tips = {
        {IDC_OUTPUT_FILE, "出力ファイル名を入力を入力します"},
        {IDC_BROWSE, "出力ファイル参照ダイアログを表示します"},
        {IDC_FORMAT, "圧縮形式を選択します"},
        {IDC_FILTER_LIST, "使用するフィルタリストを選択します"},
        {IDC_USE_PASSWORD, "パスワードを使用する場合はチェックを付けます"},
        {IDC_EXPAND, "拡張設定を行います"},
        {IDC_COMPRESS, "圧縮を開始します"},
        {IDC_USE_FILTER, "フィルタを使用します"},
        {IDC_OPEN_FOLDER, "処理終了後、出力先のフォルダを開きます"},
    };
    for (const auto& tip : tips)
    {
        EXPECT_EQ(tip.second, tooltips[tip.first].text) << tip.first;
        EXPECT_EQ(30000, tooltips[tip.first].autoPop) << tip.first;
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), tooltips[tip.first].maxWidth) << tip.first;
        // One tooltip window holds them all.
        EXPECT_EQ(tooltips[IDC_OUTPUT_FILE].window, tooltips[tip.first].window) << tip.first;
    }
}

TEST_F(CompressDialog, APositionOffEveryScreenIsNotUsed)
{
    // A screen that was there when the position was stored may be gone.
    g_appSetting.WindowLeft = -5000;
    g_appSetting.WindowTop = -5000;
    bool onScreen = false;
    EXPECT_EQ(1, Run({LookThenClose([&](HWND dialog) {
        onScreen = MonitorFromWindow(dialog, MONITOR_DEFAULTTONULL) != NULL;
    })}));
    EXPECT_TRUE(onScreen);
    EXPECT_GT(g_appSetting.WindowLeft, -5000);
}

TEST_F(CompressDialog, FilterListFollowsItsSwitchAndTheListsThatExist)
{
    struct
    {
        bool haveList;
        bool filterSw;
        bool listEnabled;
        bool switchEnabledUnfolded;
        bool listEnabledAfterClick;
    } cases[] = {
        {true, true, true, true, false},
        {true, false, false, true, true},
        {false, true, false, false, false},
    };
    for (const auto& c : cases)
    {
        g_appSetting.FilterLists.clear();
        if (c.haveList)
            g_appSetting.FilterLists.push_back(CFilterList());
        g_appSetting.FilterSw = c.filterSw;
        CWindowSnapshot start, unfolded;
        bool listAfterClick = false;
        EXPECT_EQ(1, Run({LookThenClose([&](HWND dialog) {
            start = SnapshotWindow(dialog);
            PressButton(dialog, IDC_EXPAND);
            WaitUntil([&] { return ItemText(dialog, IDC_EXPAND) == "▲設定(&S)"; });
            unfolded = SnapshotWindow(dialog);
            SendMessageA(GetDlgItem(dialog, IDC_USE_FILTER), BM_CLICK, 0, 0);
            listAfterClick = IsWindowEnabled(GetDlgItem(dialog, IDC_FILTER_LIST)) != FALSE;
        })}));
        EXPECT_EQ(c.listEnabled, start.Find(IDC_FILTER_LIST)->enabled);
        EXPECT_FALSE(start.Find(IDC_USE_FILTER)->enabled);
        EXPECT_EQ(c.switchEnabledUnfolded, unfolded.Find(IDC_USE_FILTER)->enabled);
        EXPECT_EQ(c.listEnabledAfterClick, listAfterClick);
    }
}

TEST_F(CompressDialog, ProposesTheOutputNameFromTheFirstEntry)
{
    m_data.WriteFile("report.txt", "r");
    m_data.MakeFolder("docs");
    m_data.MakeFolder("my.docs");
    struct
    {
        const char* what;
        std::vector<std::string> inputs;
        const char* outFolder;  // nullptr: the output folder is not in force
        std::string expected;
    } cases[] = {
        {"a file", {m_data / "report.txt", m_data / "docs"}, nullptr, m_data / "report.7z"},
        {"a folder", {m_data / "docs"}, nullptr, m_data / "docs.7z"},
        {"a folder with a dot keeps its whole name", {m_data / "my.docs"}, nullptr, m_data / "my.docs.7z"},
        {"a drive root", {"D:\\"}, nullptr, "D:\\D_drive.7z"},
        {"output folder", {"C:\\docs\\a.txt"}, "E:\\out\\", "E:\\out\\a.7z"},
        {"output folder and a folder with a dot", {m_data / "my.docs"}, "E:\\out", "E:\\out\\my.docs.7z"},
        {"no entry", {}, nullptr, ""},
    };
    for (const auto& c : cases)
    {
        g_testInputs = c.inputs;
        g_appSetting.OutFolderSw = c.outFolder != nullptr;
        g_appSetting.OutFolder = c.outFolder ? c.outFolder : "";
        std::string shown;
        EXPECT_EQ(1, Run({LookThenClose([&](HWND dialog) { shown = ItemText(dialog, IDC_OUTPUT_FILE); })}));
        EXPECT_EQ(c.expected, shown) << c.what;
    }
}

TEST_F(CompressDialog, ChangingTheFormatRewritesOnlyTheExtensionAndGatesThePasswordSwitch)
{
    g_appSetting.CmpTypeDefault = true;
    g_testInputs = {m_data / "a.txt"};
    struct CState
    {
        std::string name;
        bool passwordEnabled;
        bool passwordChecked;
    };
    std::vector<CState> states;
    auto record = [&states](HWND dialog) {
        states.push_back({ItemText(dialog, IDC_OUTPUT_FILE), IsWindowEnabled(GetDlgItem(dialog, IDC_USE_PASSWORD)) != FALSE,
                          SendMessageA(GetDlgItem(dialog, IDC_USE_PASSWORD), BM_GETCHECK, 0, 0) == BST_CHECKED});
    };
    EXPECT_EQ(1, Run({LookThenClose([&](HWND dialog) {
        SetControlText(dialog, IDC_OUTPUT_FILE, "C:\\作業\\表.v1.7z");
        SendMessageA(GetDlgItem(dialog, IDC_USE_PASSWORD), BM_SETCHECK, BST_CHECKED, 0);
        ChooseFormat(dialog, FormatIndex(2));
        record(dialog);
        // Focusing, opening or closing the list leaves a typed extension alone.
        SetControlText(dialog, IDC_OUTPUT_FILE, "C:\\作業\\表.v1.mine");
        HWND combo = GetDlgItem(dialog, IDC_FORMAT);
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
        for (int code : {CBN_SETFOCUS, CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL, CBN_KILLFOCUS})
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FORMAT, code), reinterpret_cast<LPARAM>(combo));
        record(dialog);
        ChooseFormat(dialog, FormatIndex(4));
        record(dialog);
        ChooseFormat(dialog, FormatIndex(0));
        record(dialog);
        ChooseFormat(dialog, FormatIndex(6));
        record(dialog);
    })}));
    ASSERT_EQ(5u, states.size());
    EXPECT_EQ("C:\\作業\\表.v1.zip", states[0].name);
    EXPECT_EQ("C:\\作業\\表.v1.mine", states[1].name);
    EXPECT_EQ("C:\\作業\\表.v1.cab", states[2].name);
    EXPECT_EQ("C:\\作業\\表.v1.7z", states[3].name);
    EXPECT_EQ("C:\\作業\\表.v1.lzh", states[4].name);
    bool enabled[] = {true, true, false, true, false};
    for (size_t i = 0; i < states.size(); ++i)
    {
        EXPECT_EQ(enabled[i], states[i].passwordEnabled) << i;
        EXPECT_TRUE(states[i].passwordChecked) << i;
    }
    // Remembered as the default format on close.
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
}

TEST_F(CompressDialog, EscapeDoesNothingAndEnterRunsAJobThatEndsTheDialog)
{
    g_appSetting.CmpEndExit = true;
    m_data.WriteFile("docs\\a.txt", "a");
    g_testInputs = {m_data / "docs"};
    bool openAfterEscape = false;
    CDialogScript::CStep keys;
    keys.title = kCompressTitle;
    keys.action = [&](HWND dialog) {
        // Another format chosen: not remembered without CmpTypeDefault.
        ChooseFormat(dialog, FormatIndex(2));
        SetControlText(dialog, IDC_OUTPUT_FILE, m_data / "docs.7z");
        PressKey(dialog, VK_ESCAPE);
        WaitUntilHandled(dialog);
        openAfterEscape = IsWindowVisible(dialog) != FALSE;
        PressKey(dialog, VK_RETURN);
    };
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(1, Run({keys}, &seen));
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(1u, seen.size());
    EXPECT_TRUE(FileExists(m_data / "docs.7z"));
    std::vector<CStandInCall> calls = m_standIns.Calls("7-Zip32.dll", "SevenZip");
    ASSERT_EQ(1u, calls.size());
    EXPECT_NE(std::string::npos, calls[0].line.find("a -tzip ")) << calls[0].line;
    EXPECT_NE(std::string::npos, calls[0].line.find("\"" + m_data / "docs.7z" + "\"")) << calls[0].line;
    EXPECT_TRUE(calls[0].hasWindow);
    EXPECT_EQ(0, g_appSetting.DefaultArcType);
}

TEST_F(CompressDialog, AJobGetsTheDialogStateWhileItsControlsAndCloseCommandAreDisabled)
{
    m_data.WriteFile("docs\\a.txt", "a");
    g_testInputs = {m_data / "docs"};
    std::map<int, bool> during, after, before;
    bool closeDuring = true, closeAfter = false;
    HWND compress = NULL;
    CDialogScript::CStep password;
    password.title = kPasswordTitle;
    password.action = [&](HWND window) {
        during = EnabledControls(compress);
        closeDuring = CloseCommandEnabled(compress);
        // A close that arrives during the job must not end the dialog.
        PostMessageA(compress, WM_CLOSE, 0, 0);
        WaitUntilHandled(compress);
        SetControlText(window, IDC_PASSWORD, "pw");
        SetControlText(window, IDC_PASSWORD_AGAIN, "pw");
        PressButton(window, IDOK);
    };
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(1, Run({Act([&](HWND dialog) {
                          compress = dialog;
                          PressButton(dialog, IDC_EXPAND);
                          WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_OPEN_FOLDER)) != FALSE; });
                          before = EnabledControls(dialog);
                          SendMessageA(GetDlgItem(dialog, IDC_USE_PASSWORD), BM_SETCHECK, BST_CHECKED, 0);
                          PressButton(dialog, IDC_COMPRESS);
                      }),
                      password, LookThenClose([&](HWND dialog) {
                          WaitUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDC_COMPRESS)) != FALSE; });
                          after = EnabledControls(dialog);
                          closeAfter = CloseCommandEnabled(dialog);
                      })},
                     &seen));
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(compress, seen[1].owner);
    for (int id : kAllControls)
        EXPECT_FALSE(during[id]) << id;
    EXPECT_FALSE(closeDuring);
    EXPECT_EQ(before, after);
    EXPECT_TRUE(closeAfter);
    EXPECT_TRUE(FileExists(m_data / "docs.7z"));
    std::vector<CStandInCall> calls = m_standIns.Calls("7-Zip32.dll", "SevenZip");
    ASSERT_EQ(1u, calls.size());
    EXPECT_NE(std::string::npos, calls[0].line.find("\"-ppw\"")) << calls[0].line;
}

namespace {

std::vector<HWND> s_shownDialogs;

LRESULT CALLBACK RecordShownDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SHOWWINDOW && message->wParam)
    {
        char className[16] = "";
        GetClassNameA(message->hwnd, className, sizeof(className));
        if (strcmp(className, "#32770") == 0)
            s_shownDialogs.push_back(message->hwnd);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

}  // namespace

TEST_F(CompressDialog, QuickStartRunsTheJobBeforeTheDialogIsShown)
{
    m_data.WriteFile("docs\\a.txt", "a");
    g_testInputs = {m_data / "docs"};
    g_appSetting.QuickStart = true;
    for (bool exitAfter : {true, false})
    {
        DeleteFileA((m_data / "docs.7z").c_str());
        g_appSetting.CmpEndExit = exitAfter;
        bool archiveBeforeShown = false;
        s_shownDialogs.clear();
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordShownDialogs, NULL, GetCurrentThreadId());
        std::vector<CDialogScript::CSeen> seen;
        std::vector<CDialogScript::CStep> steps;
        if (!exitAfter)
            steps.push_back(LookThenClose([&](HWND) { archiveBeforeShown = FileExists(m_data / "docs.7z"); }));
        EXPECT_EQ(1, Run(steps, &seen));
        UnhookWindowsHookEx(hook);
        EXPECT_TRUE(FileExists(m_data / "docs.7z")) << exitAfter;
        EXPECT_EQ(exitAfter ? 0u : 1u, s_shownDialogs.size()) << exitAfter;
        EXPECT_EQ(exitAfter ? 0u : 1u, seen.size()) << exitAfter;
        EXPECT_EQ(!exitAfter, archiveBeforeShown) << exitAfter;
    }
}

TEST_F(CompressDialog, BrowseOffersANewFileInAFolderAndCancelKeepsTheField)
{
    std::string folder = m_data.MakeFolder("sub");
    g_testInputs = {m_data / "a.txt"};
    std::string afterSave, afterCancel;
    bool offeredNewFile = false, offeredFilter = false;
    HWND compress = NULL;
    CDialogScript::CStep saveStep;
    saveStep.title = kSaveTitle;
    saveStep.action = [&](HWND window) {
        for (const CControlSnapshot& control : SnapshotWindow(window).controls)
        {
            offeredNewFile = offeredNewFile || control.text == "newfile";
            offeredFilter = offeredFilter ||
                            (control.className == "ComboBox" &&
                             ComboItems(control.hwnd) ==
                                 std::vector<std::string>{"7-Zip32.dll　-　7Z書庫(*.7z)", "すべてのファイル(*.*)"});
        }
        PressButton(window, IDOK);
    };
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(1, Run({Act([&](HWND dialog) {
                          compress = dialog;
                          SetControlText(dialog, IDC_OUTPUT_FILE, folder + "\\");
                          PressButton(dialog, IDC_BROWSE);
                      }),
                      saveStep, Act([&](HWND dialog) {
                          WaitUntil([&] { return ItemText(dialog, IDC_OUTPUT_FILE) != folder + "\\"; }, 5000);
                          afterSave = ItemText(dialog, IDC_OUTPUT_FILE);
                          PressButton(dialog, IDC_BROWSE);
                      }),
                      Press(kSaveTitle, IDCANCEL), LookThenClose([&](HWND dialog) {
                          afterCancel = ItemText(dialog, IDC_OUTPUT_FILE);
                      })},
                     &seen));
    ASSERT_EQ(5u, seen.size());
    EXPECT_EQ(compress, seen[1].owner);
    EXPECT_TRUE(offeredNewFile);
    EXPECT_TRUE(offeredFilter);
    EXPECT_EQ(folder + "\\newfile.7z", afterSave);
    EXPECT_EQ(afterSave, afterCancel);
}
