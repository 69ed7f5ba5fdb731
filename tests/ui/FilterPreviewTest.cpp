// The filter preview as a real window: its rows, counts, the switch that
// shows only the files left out, sorting, Stop on a large tree, and the two
// places it opens from (the list editor's button and the compress dialog's
// title-bar menu and key).
#include "app/CompressMode.h"
#include "job/InputList.h"
#include "tests/support/DialogJob.h"
#include "common/ScopedHandle.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/ListViewProbe.h"
#include "tests/ui/WindowImage.h"
#include "ui/filtereditors/FilterListEditor.h"
#include "ui/filtereditors/FilterPreviewDialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

const char kPreviewTitle[] = "フィルタのプレビュー";
const char kCompressTitle[] = "圧縮  - Tessik";
const char kListEditorTitle[] = "フィルタリストの編集";
const int kColumns = 7;

typedef std::vector<std::vector<std::string>> Rows;

// A walk under load takes longer than a window's usual wait.
bool WaitForPreview(const std::function<bool()>& condition)
{
    return WaitUntil(condition, 30000);
}

std::string ItemText(HWND dialog, int id)
{
    return GetWindowTextString(GetDlgItem(dialog, id));
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The walk has ended when the line above the list no longer says it is going on.
bool WaitForWalkEnd(HWND preview)
{
    return WaitForPreview([preview]() {
        std::string state = ItemText(preview, IDC_PREVIEW_PROGRESS);
        return !state.empty() && !StartsWith(state, "ファイルを調べています");
    });
}

int RowCount(HWND preview)
{
    return static_cast<int>(SendMessageA(GetDlgItem(preview, IDC_PREVIEW_ROWS), LVM_GETITEMCOUNT, 0, 0));
}

// A click on a column's header, as the list view tells its dialog.
void ClickHeader(HWND preview, int column)
{
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = GetDlgItem(preview, IDC_PREVIEW_ROWS);
    click.hdr.idFrom = IDC_PREVIEW_ROWS;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(preview, WM_NOTIFY, IDC_PREVIEW_ROWS, reinterpret_cast<LPARAM>(&click));
}

Rows Columns(const Rows& rows, const std::vector<size_t>& columns)
{
    Rows picked;
    for (const auto& row : rows)
    {
        picked.emplace_back();
        for (size_t column : columns)
            picked.back().push_back(row.at(column));
    }
    return picked;
}

// The dialog other than the preview that owner opened (the folder browser).
HWND WaitForOwnedDialog(HWND owner)
{
    HWND found = NULL;
    WaitForPreview([owner, &found]() {
        for (HWND window = FindWindowExA(NULL, NULL, "#32770", NULL); window != NULL;
             window = FindWindowExA(NULL, window, "#32770", NULL))
        {
            if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == owner)
                found = window;
        }
        return found != NULL;
    });
    return found;
}

// The preview that has just opened (owned by owner when given): its rows
// sorted by path once its walk has ended, then it is closed.
Rows RowsOfPreview(int columns, HWND owner = NULL)
{
    HWND preview = WaitForTopWindow(kPreviewTitle);
    if (preview == NULL || (owner != NULL && GetWindow(preview, GW_OWNER) != owner) || !WaitForWalkEnd(preview))
        return {{"no preview"}};
    ClickHeader(preview, 0);
    Rows rows = ListViewRows(GetDlgItem(preview, IDC_PREVIEW_ROWS), columns);
    PressButton(preview, IDCANCEL);
    WaitForPreview([preview]() { return !IsWindow(preview); });
    return rows;
}

// Ctrl+P from the keyboard, with the dialog in front.
void PressCtrlP(HWND dialog)
{
    SetForegroundWindow(dialog);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, 'P', 'P', VK_CONTROL};
    for (int i = 0; i < 4; ++i)
    {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
}

CFilterList FiveDefinitions()
{
    CFilterList list;
    list.Title = "バックアップ除外";
    CFilterDef bak = Definition(kFilterTypeExtension, ".bak");
    bak.Comment = "古い版";
    CFilterDef thumbs = Definition(kFilterTypeFileName, "Thumbs.db");
    thumbs.Comment = "縮小画像";
    list.Definitions = {bak, thumbs, Definition(kFilterTypeFileName, "~$*"),
                        Definition(kFilterTypeExtension, "\\.(log|tmp)", true, true),
                        Definition(kFilterTypeExtension, ".")};
    return list;
}

CCompressJob JobWith(const CFilterList& list)
{
    CCompressJob job;
    job.Setting.FilterSw = true;
    job.Setting.FilterLists = {list};
    job.FilterListIndex = 0;
    return job;
}

class FilterPreview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const struct
        {
            const char* name;
            size_t size;
        } kFiles[] = {{"docs\\a.txt", 3},           {"docs\\old.BAK", 1000},     {"docs\\表\\報告.docx", 2000},
                      {"docs\\x\\Thumbs.db", 40},   {"docs\\x\\run.log", 5},     {"docs\\x\\README", 7},
                      {"docs\\~$報告.docx", 9}};
        for (const auto& file : kFiles)
            m_data.WriteFile(file.name, std::string(file.size, 'x'));
    }

    // Opens the preview of inputs with list, runs look on it (once its walk
    // has ended, with waitForEnd), then closes it.
    void Preview(const CFilterList& list, const std::vector<std::string>& inputs, std::function<void(HWND)> look,
                 bool waitForEnd = true)
    {
        CDialogScript script({{kPreviewTitle, [look, waitForEnd](HWND preview) {
                                   EXPECT_TRUE(!waitForEnd || WaitForWalkEnd(preview));
                                   look(preview);
                                   PressButton(preview, IDCANCEL);
                               }}});
        CFilterPreviewDialog dialog(JobWith(list), WidenAll(inputs));
        EXPECT_EQ(IDCANCEL, dialog.Run(NULL));
        for (const auto& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }

    CTestFolder m_data;
};

}  // namespace

TEST_F(FilterPreview, ShowsEveryFileWithTheDefinitionThatLeftItOutAndTheTotals)
{
    Rows outOnly, bySizeDown, byPath;
    std::string totals, state;
    SIZE image = {};
    Preview(FiveDefinitions(), {m_data / "docs", m_data / "gone"}, [&](HWND preview) {
        HWND list = GetDlgItem(preview, IDC_PREVIEW_ROWS);
        state = ItemText(preview, IDC_PREVIEW_PROGRESS);
        totals = ItemText(preview, IDC_PREVIEW_TOTALS);
        ClickHeader(preview, 0);
        byPath = ListViewRows(list, kColumns);
        image = SaveWindowImage(preview, ArtefactPath("filter-preview.bmp"));
        PostMessageA(GetDlgItem(preview, IDC_PREVIEW_OUT_ONLY), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitForPreview([preview]() { return RowCount(preview) == 6; }));
        outOnly = ListViewRows(list, kColumns);
        ClickHeader(preview, 2);
        ClickHeader(preview, 2);
        bySizeDown = ListViewRows(list, kColumns);
    });

    EXPECT_EQ("8 個のファイルを調べました", state);
    EXPECT_EQ("圧縮する: 2 個 (2,003 バイト)\n除外: 5 個 (1,061 バイト)    エラー: 1 個", totals);
    const std::string gone = m_data / "gone";
    const Rows expected = {
        {gone, "エラー", "", "", "", "", "見つかりません"},
        {"docs\\a.txt", "圧縮する", "3", "", "", "", ""},
        {"docs\\old.BAK", "除外", "1,000", "バックアップ除外", "拡張子", ".bak", "古い版"},
        {"docs\\x\\README", "除外", "7", "バックアップ除外", "拡張子", ".(拡張子なし)", ""},
        {"docs\\x\\Thumbs.db", "除外", "40", "バックアップ除外", "ファイル名", "Thumbs.db", "縮小画像"},
        {"docs\\x\\run.log", "除外", "5", "バックアップ除外", "拡張子", "\\.(log|tmp)", ""},
        {"docs\\~$報告.docx", "除外", "9", "バックアップ除外", "ファイル名", "~$*", ""},
        {"docs\\表\\報告.docx", "圧縮する", "2,000", "", "", "", ""},
    };
    EXPECT_EQ(expected, byPath);
    EXPECT_EQ((Rows{{"1,000"}, {"40"}, {"9"}, {"7"}, {"5"}, {""}}), Columns(bySizeDown, {2}));
    EXPECT_EQ((Rows{{"エラー"}, {"除外"}, {"除外"}, {"除外"}, {"除外"}, {"除外"}}), Columns(outOnly, {1}));
    EXPECT_LT(0, image.cx);
}

// A list following the .gitignore files: a file left out by a rule names it
// as git check-ignore -v does, a folder shows once with the files it held.
TEST_F(FilterPreview, RowsLeftOutByGitIgnoreRulesShowTheRuleAndAFolderTheFilesItHeld)
{
    m_data.WriteFile("docs\\.gitignore", "x/\n*.txt\n");
    m_data.WriteFile("docs\\表\\.gitignore", "# generated\n*.docx\n");
    CFilterList list = FiveDefinitions();
    list.GitIgnore = true;
    Rows rows;
    std::string totals;
    SIZE image = {};
    Preview(list, {m_data / "docs"}, [&](HWND preview) {
        totals = ItemText(preview, IDC_PREVIEW_TOTALS);
        ClickHeader(preview, 0);
        rows = ListViewRows(GetDlgItem(preview, IDC_PREVIEW_ROWS), kColumns);
        image = SaveWindowImage(preview, ArtefactPath("filter-preview-gitignore.bmp"));
    });
    const Rows expected = {
        {"docs\\.gitignore", "圧縮する", "9", "", "", "", ""},
        {"docs\\a.txt", "除外", "3", "バックアップ除外", ".gitignore", ".gitignore:2:*.txt", ""},
        {"docs\\old.BAK", "除外", "1,000", "バックアップ除外", "拡張子", ".bak", "古い版"},
        {"docs\\x\\", "除外", "52", "バックアップ除外", ".gitignore", ".gitignore:1:x/", "フォルダ (3 個のファイル)"},
        {"docs\\~$報告.docx", "除外", "9", "バックアップ除外", "ファイル名", "~$*", ""},
        {"docs\\表\\.gitignore", "圧縮する", "19", "", "", "", ""},
        {"docs\\表\\報告.docx", "除外", "2,000", "バックアップ除外", ".gitignore", "表/.gitignore:2:*.docx", ""},
    };
    EXPECT_EQ(expected, rows);
    EXPECT_EQ("圧縮する: 2 個 (28 バイト)\n除外: 7 個 (3,064 バイト)    エラー: 0 個", totals);
    EXPECT_LT(0, image.cx);
}

TEST_F(FilterPreview, StopEndsTheWalkOfALargeTreeAndTheDialogFollowsItsSize)
{
    // Names on which the library works until it gives up, a good part of a
    // millisecond each: the walk is still going when the first count shows,
    // whatever the machine.
    const int kFolders = 12;
    const int kFilesEach = 500;
    const std::string heavy(200, 'a');
    for (int folder = 0; folder < kFolders; ++folder)
    {
        std::string path = m_data.MakeFolder("big\\f" + std::to_string(folder));
        for (int file = 0; file < kFilesEach; ++file)
        {
            CScopedHandle handle(CreateFileA((path + "\\" + heavy + std::to_string(file)).c_str(), GENERIC_WRITE, 0,
                                             NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
            ASSERT_TRUE(handle.IsValid());
        }
    }
    CFilterList list;
    list.Title = "重い";
    list.Definitions = {Definition(kFilterTypeFileName, "(a|aa|a)*(a|aa)*b", false, true)};
    std::string stoppedState;
    int rowsShown = -1;
    bool stopEnabled = true;
    RECT listBefore = {}, listAfter = {};
    Preview(
        list, {m_data / "big"},
        [&](HWND preview) {
            EXPECT_TRUE(WaitForPreview([preview]() {
                std::string state = ItemText(preview, IDC_PREVIEW_PROGRESS);
                return StartsWith(state, "ファイルを調べています... ") && state != "ファイルを調べています... 0 個";
            }));
            PressButton(preview, IDC_PREVIEW_STOP);
            EXPECT_TRUE(WaitForPreview(
                [preview]() { return StartsWith(ItemText(preview, IDC_PREVIEW_PROGRESS), "中止しました"); }));
            stoppedState = ItemText(preview, IDC_PREVIEW_PROGRESS);
            rowsShown = RowCount(preview);
            stopEnabled = IsWindowEnabled(GetDlgItem(preview, IDC_PREVIEW_STOP)) != FALSE;

            HWND list = GetDlgItem(preview, IDC_PREVIEW_ROWS);
            GetWindowRect(list, &listBefore);
            RECT frame;
            GetWindowRect(preview, &frame);
            SetWindowPos(preview, NULL, 0, 0, frame.right - frame.left + 100, frame.bottom - frame.top + 60,
                         SWP_NOMOVE | SWP_NOZORDER);
            GetWindowRect(list, &listAfter);
        },
        false);

    EXPECT_TRUE(StartsWith(stoppedState, "中止しました (")) << stoppedState;
    EXPECT_LT(0, rowsShown);
    EXPECT_GT(kFolders * kFilesEach, rowsShown);
    EXPECT_FALSE(stopEnabled);
    EXPECT_EQ(listBefore.right - listBefore.left + 100, listAfter.right - listAfter.left);
    EXPECT_EQ(listBefore.bottom - listBefore.top + 60, listAfter.bottom - listAfter.top);
}

TEST_F(FilterPreview, ListEditorPreviewsTheEditedListOnTheFolderLastPicked)
{
    g_workingFilterList = FiveDefinitions();
    g_appSetting.PreviewFolder = m_data / "docs";
    Rows rows;
    CDialogScript script({{kListEditorTitle, [&](HWND editor) {
                               // Edited, not saved: the action now packs only matches.
                               SendMessageA(GetDlgItem(editor, IDC_LIST_ACTION), CB_SETCURSEL, 1, 0);
                               PostMessageA(editor, WM_COMMAND, IDC_LIST_PREVIEW, 0);
                               HWND browser = WaitForOwnedDialog(editor);
                               ASSERT_NE(nullptr, browser);
                               // The folder of last time is selected; only then is it taken, since
                               // any other folder would be walked as a whole.
                               // The browser fills itself in after it shows: its tree may not
                               // exist yet when the dialog is found.
                               bool offered = WaitUntil([browser]() {
                                   HWND tree = FindWindowExA(browser, NULL, WC_TREEVIEWA, NULL);
                                   HTREEITEM item = tree != NULL ? TreeView_GetSelection(tree) : NULL;
                                   return item != NULL && TreeItemText(tree, item) == "docs";
                               });
                               EXPECT_TRUE(offered);
                               PressButton(browser, offered ? IDOK : IDCANCEL);
                               if (offered)
                                   rows = RowsOfPreview(6);
                               PressButton(editor, IDCANCEL);
                           }}});
    CFilterListEditor editor;
    EXPECT_EQ(2, editor.Run(NULL));
    script.Finish();

    const std::string none = "(どの定義にも一致しません)";
    const Rows expected = {
        {"docs\\a.txt", "除外", none},          {"docs\\old.BAK", "圧縮する", ".bak"},
        {"docs\\x\\README", "圧縮する", ".(拡張子なし)"}, {"docs\\x\\Thumbs.db", "圧縮する", "Thumbs.db"},
        {"docs\\x\\run.log", "圧縮する", "\\.(log|tmp)"}, {"docs\\~$報告.docx", "圧縮する", "~$*"},
        {"docs\\表\\報告.docx", "除外", none},
    };
    EXPECT_EQ(expected, Columns(rows, {0, 1, 5}));
    EXPECT_EQ(m_data / "docs", g_appSetting.PreviewFolder);
    EXPECT_EQ(kFilterActExclude, g_workingFilterList.ActType);
    g_appSetting = CAppSetting();
}

TEST_F(FilterPreview, CompressDialogOpensItFromItsTitleBarMenuAndByCtrlP)
{
    CStandInFormats standIns(kAllStandIns);
    standIns.Register();
    g_appSetting = CAppSetting();
    g_appSetting.DefaultArcType = 0;
    CFilterList other;
    other.Title = "別のリスト";
    g_appSetting.FilterLists = {other, FiveDefinitions()};
    g_testInputs = {m_data / "docs\\x"};

    // By the menu with the dialog's filter switch on, by the key with it off.
    for (bool byKey : {false, true})
    {
        std::string item;
        Rows rows;
        CDialogScript script({{kCompressTitle, [&](HWND dialog) {
                                   HMENU menu = GetSystemMenu(dialog, FALSE);
                                   int last = GetMenuItemCount(menu) - 1;
                                   char text[128] = "";
                                   GetMenuStringA(menu, last, text, sizeof(text), MF_BYPOSITION);
                                   item = text;
                                   SendMessageA(GetDlgItem(dialog, IDC_FILTER_LIST), CB_SETCURSEL, 1, 0);
                                   SendMessageA(GetDlgItem(dialog, IDC_USE_FILTER), BM_SETCHECK, !byKey, 0);
                                   if (byKey)
                                       PressCtrlP(dialog);
                                   else
                                       PostMessageA(dialog, WM_SYSCOMMAND, GetMenuItemID(menu, last), 0);
                                   rows = RowsOfPreview(2, dialog);
                                   PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                               }}});
        RunCompressDialog(g_testInputs, nullptr);
        script.Finish();
        EXPECT_EQ("フィルタのプレビュー(&V)...\tCtrl+P", item);
        const std::string state = byKey ? "圧縮する" : "除外";
        EXPECT_EQ((Rows{{"x\\README", state}, {"x\\Thumbs.db", state}, {"x\\run.log", state}}), rows) << byKey;
    }
    g_testInputs.clear();
    g_appSetting = CAppSetting();
}
