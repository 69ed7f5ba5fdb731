// Settings mode in this process: the settings dialog in the program's own
// message loop, its tree of pages, the general pages and the keys.
#include "app/SettingsMode.h"
#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/TooltipProbe.h"
#include "tests/ui/WindowImage.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kSettingsTitle[] = "設定  - Tessik";
const char kErrorTitle[] = "エラー  - Tessik";

typedef std::vector<std::pair<int, std::string>> CTree;

std::string ItemText(HWND window, int id)
{
    return GetWindowTextString(GetDlgItem(window, id));
}

bool Checked(HWND page, int id)
{
    return SendMessageA(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Selected(HWND page, int id)
{
    return static_cast<int>(SendMessageA(GetDlgItem(page, id), CB_GETCURSEL, 0, 0));
}

HWND Tree(HWND dialog)
{
    return GetDlgItem(dialog, IDC_PAGE_TREE);
}

// Shows the page of the tree item with this text and returns it.
HWND OpenPage(HWND dialog, const std::string& item)
{
    SelectTreeItem(Tree(dialog), item);
    return ShownChildDialog(dialog);
}

// A key pressed and released as the keyboard sends it, with modifiers held.
void SendKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(300);
}

// The settings dialog's step: act on it, then the dialog must be gone (or,
// with a message box to answer next, waitClose false).
CDialogScript::CStep OnSettings(std::function<void(HWND)> act, bool waitClose = true)
{
    CDialogScript::CStep step;
    step.title = kSettingsTitle;
    step.action = std::move(act);
    step.waitClose = waitClose;
    return step;
}

class SettingsMode : public SettingsFileTest
{
protected:
    void Install(const std::vector<std::string>& files)
    {
        // The old stand-ins take the registered formats with them when they go.
        m_standIns.reset();
        m_standIns.reset(new CStandInFormats(files));
        m_standIns->Register();
    }

    int Run(const std::vector<CDialogScript::CStep>& steps, std::vector<CDialogScript::CSeen>* seen = nullptr)
    {
        CDialogScript script(steps);
        int result = RunSettingsMode();
        const std::vector<CDialogScript::CSeen>& windows = script.Finish();
        if (seen != nullptr)
            *seen = windows;
        for (const auto& window : windows)
            EXPECT_TRUE(window.expected) << window.window.title;
        return result;
    }

    std::unique_ptr<CStandInFormats> m_standIns;
};

}  // namespace

TEST_F(SettingsMode, TreeAndDefaultFormatsFollowTheRegisteredFormatsInUse)
{
    const CTree generalTail = {{0, "フィルタ"}, {0, "シェルエクステンション"}, {0, "バージョン情報"}};
    struct
    {
        const char* what;
        std::vector<std::string> dlls;
        bool sevenZipUsed;
        bool cabUsed;
        std::vector<std::string> pages;
        std::vector<std::string> formats;
    } cases[] = {
        {"only Unlha32.dll", {"Unlha32.dll"}, true, true, {"Unlha32.dll"},
         {"Unlha32.dll　-　LHA書庫(*.lzh)", "Unlha32.dll　-　LHA自己解凍(*.exe)"}},
        {"7-Zip32 and CAB switched off", kAllStandIns, false, false, {"Unlha32.dll", "Zip32j.dll"},
         {"Unlha32.dll　-　LHA書庫(*.lzh)", "Unlha32.dll　-　LHA自己解凍(*.exe)", "Zip32j.dll　-　ZIP書庫(*.zip)",
          "Zip32j.dll　-　ZIP自己解凍(*.exe)"}},
        {"everything", kAllStandIns, true, true,
         {"7-Zip32.dll (7Z形式)", "7-Zip32.dll (ZIP形式)", "Cab32.dll", "Unlha32.dll", "Zip32j.dll"},
         {"7-Zip32.dll　-　7Z書庫(*.7z)", "7-Zip32.dll　-　7Z自己解凍(*.exe)", "7-Zip32.dll　-　ZIP書庫(*.zip)",
          "Cab32.dll　-　CAB書庫(*.cab)", "Cab32.dll　-　CAB自己解凍(*.exe)", "Unlha32.dll　-　LHA書庫(*.lzh)",
          "Unlha32.dll　-　LHA自己解凍(*.exe)", "Zip32j.dll　-　ZIP書庫(*.zip)", "Zip32j.dll　-　ZIP自己解凍(*.exe)"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Install(c.dlls);
        g_sevenZipSettings.Use = c.sevenZipUsed;
        g_cabSettings.Use = c.cabUsed;
        g_appSetting.DefaultArcType = FindFirstUsedFormatId();
        CTree tree;
        std::vector<std::string> formats;
        HWND shown = NULL, basic = NULL;
        POINT pagePosition = {};
        EXPECT_EQ(2, Run({OnSettings([&](HWND dialog) {
                      tree = TreeItems(Tree(dialog));
                      shown = ShownChildDialog(dialog);
                      basic = OpenPage(dialog, "基本設定");
                      formats = ComboItems(GetDlgItem(basic, IDC_DEFAULT_FORMAT));
                      RECT frame;
                      GetWindowRect(basic, &frame);
                      pagePosition = {frame.left, frame.top};
                      ScreenToClient(dialog, &pagePosition);
                      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                  })}));
        CTree expected = {{0, "基本設定"}};
        for (const std::string& page : c.pages)
            expected.emplace_back(1, page);
        expected.insert(expected.end(), generalTail.begin(), generalTail.end());
        EXPECT_EQ(expected, tree);
        EXPECT_EQ(c.formats, formats);
        EXPECT_EQ(basic, shown);
        EXPECT_EQ(176, pagePosition.x);
        EXPECT_EQ(12, pagePosition.y);
    }
}

TEST_F(SettingsMode, DialogAndGeneralPagesShowTheirTextsTooltipsAndPictures)
{
    Install(kAllStandIns);
    std::map<int, CTooltipInfo> dialogTips, basicTips, shellTips, versionTips;
    CWindowSnapshot dialogShot, shellShot, versionShot;
    std::vector<std::string> overwriteItems;
    std::vector<CDialogScript::CSeen> seen;
    EXPECT_EQ(2, Run({OnSettings([&](HWND dialog) {
                          dialogShot = SnapshotWindow(dialog);
                          dialogTips = TooltipsOf(dialog);
                          HWND basic = OpenPage(dialog, "基本設定");
                          basicTips = TooltipsOf(basic);
                          overwriteItems = ComboItems(GetDlgItem(basic, IDC_OVERWRITE_ACTION));
                          SaveWindowImage(dialog, ArtefactPath("settings-basic.bmp"));
                          HWND shell = OpenPage(dialog, "シェルエクステンション");
                          shellShot = SnapshotWindow(shell);
                          shellTips = TooltipsOf(shell);
                          SaveWindowImage(dialog, ArtefactPath("settings-shellext.bmp"));
                          // Nothing stands under the installer's name: nothing happens.
                          SendMessageA(shell, WM_COMMAND, MAKEWPARAM(IDC_INSTALLER, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(GetDlgItem(shell, IDC_INSTALLER)));
                          HWND version = OpenPage(dialog, "バージョン情報");
                          versionShot = SnapshotWindow(version);
                          versionTips = TooltipsOf(version);
                          SaveWindowImage(dialog, ArtefactPath("settings-version.bmp"));
                          // No help file beside the program: a message, and the dialog stays.
                          PressButton(dialog, IDC_SETTINGS_HELP);
                      },
                                 false),
                      Press(kErrorTitle, IDOK), OnSettings([](HWND dialog) { PressButton(dialog, IDCANCEL); })},
                     &seen));

    ASSERT_EQ(kSettingsTitle, dialogShot.title);
    EXPECT_EQ("OK", dialogShot.Find(IDOK)->text);
    EXPECT_EQ("ｷｬﾝｾﾙ", dialogShot.Find(IDCANCEL)->text);
    EXPECT_EQ("ヘルプ", dialogShot.Find(IDC_SETTINGS_HELP)->text);
    EXPECT_EQ("共通設定", dialogShot.Find(-1)->text);
    EXPECT_EQ("設定を保存して終了します", dialogTips[IDOK].text);
    EXPECT_EQ("設定を保存せずに終了します", dialogTips[IDCANCEL].text);
    EXPECT_EQ("ヘルプドキュメントを開きます", dialogTips[IDC_SETTINGS_HELP].text);
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("ヘルプファイルが開けません", seen[1].window.MessageText());
    EXPECT_EQ(dialogShot.hwnd, seen[1].owner);

    EXPECT_EQ((std::vector<std::string>{"確認ダイアログを表示", "無条件で上書き", "現在の書庫に追加", "再指定"}),
              overwriteItems);
    const std::pair<int, const char*> basicTooltips[] = {
        {IDC_DEFAULT_FORMAT, "デフォルトの圧縮形式を指定します。"},
        {IDC_OVERWRITE_ACTION, "出力先に同名ファイルが既に存在した場合の動作を指定します。\n\n推奨：確認ダイアログを表示"},
        {IDC_QUICK_START, "ファイルをアイコンにD&D後、\n圧縮設定ダイアログを表示せずに、すぐに圧縮を開始します"},
        {IDC_OPEN_OUTPUT_FOLDER, "処理終了後、出力先のフォルダを開きます"},
        {IDC_OUTPUT_FOLDER, "デフォルトの出力フォルダを指定します"},
        {IDC_BROWSE_FOLDER, "フォルダ参照ダイアログを表示します"},
        {IDC_USE_OUTPUT_FOLDER, "デフォルトの出力フォルダの指定を有効にします"},
        {IDC_VERIFY_ARCHIVE, "書庫を作成したあと、その書庫を読み直して、選んだファイルがすべて正しく入っているか検査します"
                             "\n\n一致しないときや壊れているときは、元の書庫を残して失敗として報告します"},
    };
    for (const auto& tip : basicTooltips)
        EXPECT_EQ(tip.second, basicTips[tip.first].text) << tip.first;
    EXPECT_EQ(13u, basicTips.size());
    for (const auto& tip : basicTips)
        EXPECT_EQ(30000, tip.second.autoPop) << tip.first;

    EXPECT_EQ("シェルエクステンションを利用し、ファイルの右クリックメニューに\nTessikを使用してファイルを圧縮する項目を"
              "追加できます。\n\nこの機能を使用する場合は、下のボタンを押してインストーラを起動してください。\n\n※Win"
              "dows Vistaにおいて、「tessikshlex_install.exe」を\n　実行するか確認するダイアログが表示されることがあり"
              "ます。\n　インストールを続行する場合は実行を許可してください。",
              shellShot.Find(IDC_SHELLEXT_TEXT)->text);
    EXPECT_EQ("インストーラを起動", shellShot.Find(IDC_INSTALLER)->text);
    EXPECT_EQ("インストーラを起動", shellTips[IDC_INSTALLER].text);

    EXPECT_EQ("Tessik Ver.1.12", versionShot.Find(IDC_VERSION_TEXT)->text);
    EXPECT_FALSE(versionShot.Find(IDC_RIGHTS_TEXT)->text.empty());
    for (int id : {IDC_HOME_PAGE, IDC_MAIL})
    {
        EXPECT_EQ(versionShot.Find(id)->text, versionTips[id].text) << id;
        EXPECT_EQ(10000, versionTips[id].autoPop) << id;
    }
}

TEST_F(SettingsMode, BasicPageShowsEverySettingAndStoresEveryChangeOnOk)
{
    Install(kAllStandIns);
    CAppSetting& s = g_appSetting;
    s.DefaultArcType = 8;
    s.CmpTypeDefault = true;
    s.OverWriteAction = 3;
    s.StatusDialog = false;
    s.QuickStart = true;
    s.AllwaysResult = true;
    s.CmpEndExit = false;
    s.OutFolderOpen = true;
    s.AutoComplete = true;
    s.OutFolder = "D:\\出力\\表";
    s.OutFolderSw = true;
    // Check boxes with the setting they show, as the page opened them.
    const std::pair<int, bool CAppSetting::*> boxes[] = {
        {IDC_REMEMBER_FORMAT, &CAppSetting::CmpTypeDefault}, {IDC_STATUS_DIALOG, &CAppSetting::StatusDialog},
        {IDC_QUICK_START, &CAppSetting::QuickStart},         {IDC_ALWAYS_RESULT, &CAppSetting::AllwaysResult},
        {IDC_EXIT_AFTER, &CAppSetting::CmpEndExit},          {IDC_OPEN_OUTPUT_FOLDER, &CAppSetting::OutFolderOpen},
        {IDC_AUTO_COMPLETE, &CAppSetting::AutoComplete},     {IDC_USE_OUTPUT_FOLDER, &CAppSetting::OutFolderSw},
        {IDC_VERIFY_ARCHIVE, &CAppSetting::VerifyArchive},
    };
    const CAppSetting before = s;
    std::vector<bool> shownChecks;
    std::string shownFormat, shownFolder;
    int shownAction = -1;
    EXPECT_EQ(1, Run({OnSettings([&](HWND dialog) {
        HWND page = OpenPage(dialog, "基本設定");
        HWND formats = GetDlgItem(page, IDC_DEFAULT_FORMAT);
        shownFormat = ComboItems(formats).at(static_cast<size_t>(Selected(page, IDC_DEFAULT_FORMAT)));
        shownAction = Selected(page, IDC_OVERWRITE_ACTION);
        shownFolder = ItemText(page, IDC_OUTPUT_FOLDER);
        for (const auto& box : boxes)
        {
            shownChecks.push_back(Checked(page, box.first));
            SendMessageA(GetDlgItem(page, box.first), BM_SETCHECK, Checked(page, box.first) ? 0 : 1, 0);
        }
        SendMessageA(formats, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>("Cab32.dll　-　CAB書庫(*.cab)"));
        SendMessageA(GetDlgItem(page, IDC_OVERWRITE_ACTION), CB_SETCURSEL, 1, 0);
        SetControlText(page, IDC_OUTPUT_FOLDER, "E:\\別\\ソ\\");
        PressButton(dialog, IDOK);
    })}));
    EXPECT_EQ("Zip32j.dll　-　ZIP書庫(*.zip)", shownFormat);
    EXPECT_EQ(3, shownAction);
    EXPECT_EQ("D:\\出力\\表", shownFolder);
    for (size_t i = 0; i < shownChecks.size(); ++i)
    {
        EXPECT_EQ(before.*boxes[i].second, shownChecks[i]) << boxes[i].first;
        EXPECT_NE(before.*boxes[i].second, s.*boxes[i].second) << boxes[i].first;
    }
    EXPECT_EQ(4, s.DefaultArcType);
    EXPECT_EQ(1, s.OverWriteAction);
    // One real trailing backslash goes; the 0x5C trail byte of "ソ" stays.
    EXPECT_EQ("E:\\別\\ソ", s.OutFolder);
}

TEST_F(SettingsMode, OutputFolderRules)
{
    Install({"Unlha32.dll"});
    std::string longFolder = "D:\\";
    while (longFolder.size() < 1100)
        longFolder += "表";
    struct
    {
        const char* what;
        std::string stored;
        bool use;
        const char* typed;  // nullptr: left as shown
        int button;
        std::string shown;
        std::string result;
        bool resultUse;
        bool message;
    } cases[] = {
        {"a drive is shown as its root and stored bare", "C:", true, nullptr, IDOK, "C:\\", "C:", true, false},
        {"no drive letter, switch off: the old folder stays", "D:\\old", false, "relative\\x", IDOK, "D:\\old",
         "D:\\old", false, false},
        {"a share, switch on: said even on Cancel, then cleared", "D:\\old", true, "\\\\server\\share", IDCANCEL,
         "D:\\old", "", false, true},
        {"too long for the field: cut at a whole character", longFolder, false, nullptr, IDOK,
         longFolder.substr(0, 1023 - (1023 - 3) % 2), longFolder.substr(0, 1023 - (1023 - 3) % 2), false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        g_appSetting = CAppSetting();
        g_appSetting.OutFolder = c.stored;
        g_appSetting.OutFolderSw = c.use;
        g_appSetting.DefaultArcType = 6;
        std::string shown;
        std::vector<CDialogScript::CSeen> seen;
        std::vector<CDialogScript::CStep> steps = {OnSettings(
            [&](HWND dialog) {
                HWND page = OpenPage(dialog, "基本設定");
                shown = ItemText(page, IDC_OUTPUT_FOLDER);
                if (c.typed != nullptr)
                    SetControlText(page, IDC_OUTPUT_FOLDER, c.typed);
                PressButton(dialog, c.button);
            },
            !c.message)};
        if (c.message)
            steps.push_back(Press(kErrorTitle, IDOK));
        EXPECT_EQ(c.button == IDOK ? 1 : 2, Run(steps, &seen));
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(c.result, g_appSetting.OutFolder);
        EXPECT_EQ(c.resultUse, g_appSetting.OutFolderSw);
        ASSERT_EQ(c.message ? 2u : 1u, seen.size());
        if (c.message)
            EXPECT_EQ("出力フォルダの指定が不正です\nこの設定は無効になります。", seen[1].window.MessageText());
    }
}

TEST_F(SettingsMode, AltLetterActsOnTheShownPageAndCtrlLetterDoesNothing)
{
    Install({"Unlha32.dll"});
    g_appSetting.OutFolder = "D:\\コピー元";
    bool useAfter = false, autoAfter = false, focusOnFolder = false, folderTyped = false;
    std::string clipboard;
    EXPECT_EQ(1, Run({OnSettings([&](HWND dialog) {
        HWND page = OpenPage(dialog, "基本設定");
        SetForegroundWindow(dialog);
        SendKeys({VK_MENU, 'U'});
        SendKeys({VK_MENU, 'A'});
        SendKeys({VK_MENU, 'F'});
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info);
        focusOnFolder = info.hwndFocus == GetDlgItem(page, IDC_OUTPUT_FOLDER);
        // Ctrl+C on selected text would copy it: the key table takes it first.
        if (OpenClipboard(NULL))
        {
            EmptyClipboard();
            CloseClipboard();
        }
        SendMessageA(GetDlgItem(page, IDC_OUTPUT_FOLDER), EM_SETSEL, 0, -1);
        SendKeys({VK_CONTROL, 'C'});
        if (OpenClipboard(NULL))
        {
            HANDLE text = GetClipboardData(CF_TEXT);
            if (text != NULL)
                clipboard = static_cast<const char*>(GlobalLock(text));
            CloseClipboard();
        }
        // Plain letters still reach the edit.
        SendKeys({'Q'});
        folderTyped = ItemText(page, IDC_OUTPUT_FOLDER) != "D:\\コピー元";
        useAfter = Checked(page, IDC_USE_OUTPUT_FOLDER);
        autoAfter = Checked(page, IDC_AUTO_COMPLETE);
        SetControlText(page, IDC_OUTPUT_FOLDER, "D:\\コピー元");
        PressButton(dialog, IDOK);
    })}));
    EXPECT_TRUE(useAfter);
    EXPECT_TRUE(autoAfter);
    EXPECT_TRUE(focusOnFolder);
    EXPECT_EQ("", clipboard);
    EXPECT_TRUE(folderTyped);
    EXPECT_TRUE(g_appSetting.OutFolderSw);
    EXPECT_TRUE(g_appSetting.AutoComplete);
}

TEST_F(SettingsMode, StoredPositionIsUsedAndAPositionOffEveryScreenIsNot)
{
    Install({"Unlha32.dll"});
    const struct
    {
        int left;
        int top;
        bool used;
    } cases[] = {{120, 90, true}, {-30000, -30000, false}};
    for (const auto& c : cases)
    {
        g_appSetting.WindowLeft = c.left;
        g_appSetting.WindowTop = c.top;
        RECT frame = {};
        EXPECT_EQ(1, Run({OnSettings([&](HWND dialog) {
            GetWindowRect(dialog, &frame);
            PressButton(dialog, IDOK);
        })}));
        EXPECT_EQ(c.used, frame.left == c.left && frame.top == c.top) << c.left;
        EXPECT_TRUE(MonitorFromRect(&frame, MONITOR_DEFAULTTONULL) != NULL) << c.left;
        // Closing stores where the dialog was.
        EXPECT_EQ(frame.left, g_appSetting.WindowLeft);
        EXPECT_EQ(frame.top, g_appSetting.WindowTop);
    }
}
