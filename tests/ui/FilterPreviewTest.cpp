// The filter preview as a real window: its rows, counts, the switch that
// shows only the files left out, sorting, Stop on a large tree, and the two
// places it opens from (the list editor's button and the compress dialog's
// title-bar menu and key).
#include "app/CompressMode.h"
#include "app/InputList.h"
#include "common/ScopedHandle.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
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

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000)
{
    DWORD start = GetTickCount();
    while (!condition())
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
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
    return WaitUntil([preview]() {
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

std::vector<std::string> Column(const Rows& rows, size_t column)
{
    std::vector<std::string> texts;
    for (const auto& row : rows)
        texts.push_back(row.at(column));
    return texts;
}

// A top-level dialog of this process owned by owner, other than except.
HWND WaitForOwnedDialog(HWND owner, const std::string& except)
{
    struct CSearch
    {
        HWND owner;
        std::string except;
        HWND found;
    } search = {owner, except, NULL};
    WaitUntil([&search]() {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                CSearch* s = reinterpret_cast<CSearch*>(data);
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                char className[64] = "";
                GetClassNameA(window, className, sizeof(className));
                if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                    std::string(className) == "#32770" && GetWindow(window, GW_OWNER) == s->owner &&
                    GetWindowTextString(window) != s->except)
                {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != NULL;
    });
    return search.found;
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

    // Opens the preview of inputs with list, runs look on it once its walk
    // has ended, then closes it.
    void Preview(const CFilterList& list, const std::vector<std::string>& inputs, std::function<void(HWND)> look)
    {
        CDialogScript script({{kPreviewTitle, [look](HWND preview) {
                                   EXPECT_TRUE(WaitForWalkEnd(preview));
                                   look(preview);
                                   PressButton(preview, IDCANCEL);
                               }}});
        CFilterPreviewDialog dialog(JobWith(list), inputs);
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
        EXPECT_TRUE(WaitUntil([preview]() { return RowCount(preview) == 6; }));
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
    EXPECT_EQ((std::vector<std::string>{"1,000", "40", "9", "7", "5", ""}), Column(bySizeDown, 2));
    EXPECT_EQ(6u, outOnly.size());
    for (const auto& row : outOnly)
        EXPECT_NE("圧縮する", row.at(1)) << row.at(0);
    EXPECT_LT(0, image.cx);
}

TEST_F(FilterPreview, PackOnlyListSaysWhichFilesMatchNothing)
{
    CFilterList list;
    list.Title = "文書のみ";
    list.ActType = kFilterActOnly;
    list.Definitions = {Definition(kFilterTypeExtension, ".docx")};
    Rows rows;
    Preview(list, {m_data / "docs\\x"}, [&](HWND preview) {
        ClickHeader(preview, 0);
        rows = ListViewRows(GetDlgItem(preview, IDC_PREVIEW_ROWS), kColumns);
    });
    const Rows expected = {
        {"x\\README", "除外", "7", "文書のみ", "", "(どの定義にも一致しません)", ""},
        {"x\\Thumbs.db", "除外", "40", "文書のみ", "", "(どの定義にも一致しません)", ""},
        {"x\\run.log", "除外", "5", "文書のみ", "", "(どの定義にも一致しません)", ""},
    };
    EXPECT_EQ(expected, rows);
}

TEST_F(FilterPreview, StopEndsTheWalkOfALargeTreeAndTheDialogFollowsItsSize)
{
    // Enough files that the walk is still going when the first count shows.
    const int kFolders = 150;
    const int kFilesEach = 200;
    for (int folder = 0; folder < kFolders; ++folder)
    {
        std::string path = m_data.MakeFolder("big\\f" + std::to_string(folder));
        for (int file = 0; file < kFilesEach; ++file)
        {
            CScopedHandle handle(CreateFileA((path + "\\n" + std::to_string(file) + ".txt").c_str(), GENERIC_WRITE, 0,
                                             NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
            ASSERT_TRUE(handle.IsValid());
        }
    }
    std::string stoppedState;
    int rowsShown = -1;
    bool stopEnabled = true;
    RECT listBefore = {}, listAfter = {};
    CDialogScript script({{kPreviewTitle, [&](HWND preview) {
                               EXPECT_TRUE(WaitUntil([preview]() {
                                   std::string state = ItemText(preview, IDC_PREVIEW_PROGRESS);
                                   return StartsWith(state, "ファイルを調べています... ") &&
                                          state != "ファイルを調べています... 0 個";
                               }));
                               PressButton(preview, IDC_PREVIEW_STOP);
                               EXPECT_TRUE(WaitUntil([preview]() {
                                   return StartsWith(ItemText(preview, IDC_PREVIEW_PROGRESS), "中止しました");
                               }));
                               stoppedState = ItemText(preview, IDC_PREVIEW_PROGRESS);
                               rowsShown = RowCount(preview);
                               stopEnabled = IsWindowEnabled(GetDlgItem(preview, IDC_PREVIEW_STOP)) != FALSE;

                               GetWindowRect(GetDlgItem(preview, IDC_PREVIEW_ROWS), &listBefore);
                               RECT frame;
                               GetWindowRect(preview, &frame);
                               SetWindowPos(preview, NULL, 0, 0, frame.right - frame.left + 100,
                                            frame.bottom - frame.top + 60, SWP_NOMOVE | SWP_NOZORDER);
                               GetWindowRect(GetDlgItem(preview, IDC_PREVIEW_ROWS), &listAfter);
                               PressButton(preview, IDCANCEL);
                           }}});
    CFilterPreviewDialog dialog(JobWith(FiveDefinitions()), {m_data / "big"});
    dialog.Run(NULL);
    script.Finish();

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
    CDialogScript script({{kListEditorTitle,
                           [&](HWND editor) {
                               // Edited, not saved: the action now packs only matches.
                               SendMessageA(GetDlgItem(editor, IDC_LIST_ACTION), CB_SETCURSEL, 1, 0);
                               PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_LIST_PREVIEW, BN_CLICKED),
                                            reinterpret_cast<LPARAM>(GetDlgItem(editor, IDC_LIST_PREVIEW)));
                               HWND browser = WaitForOwnedDialog(editor, kPreviewTitle);
                               ASSERT_NE(nullptr, browser);
                               PressButton(browser, IDOK);
                               HWND preview = WaitForTopWindow(kPreviewTitle);
                               ASSERT_NE(nullptr, preview);
                               EXPECT_TRUE(WaitForWalkEnd(preview));
                               ClickHeader(preview, 0);
                               rows = ListViewRows(GetDlgItem(preview, IDC_PREVIEW_ROWS), 2);
                               PressButton(preview, IDCANCEL);
                               EXPECT_TRUE(WaitUntil([]() { return WaitForTopWindow(kPreviewTitle, 0, 0) == NULL; }));
                               PressButton(editor, IDCANCEL);
                           }}});
    CFilterListEditor editor;
    EXPECT_EQ(2, editor.Run(NULL));
    script.Finish();

    const Rows expected = {
        {"docs\\a.txt", "除外"},        {"docs\\old.BAK", "圧縮する"},   {"docs\\x\\README", "圧縮する"},
        {"docs\\x\\Thumbs.db", "圧縮する"}, {"docs\\x\\run.log", "圧縮する"}, {"docs\\~$報告.docx", "圧縮する"},
        {"docs\\表\\報告.docx", "除外"},
    };
    EXPECT_EQ(expected, rows);
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
    g_appSetting.CmpEndExit = false;
    CFilterList other;
    other.Title = "別のリスト";
    g_appSetting.FilterLists = {other, FiveDefinitions()};
    g_appSetting.FilterSw = true;
    g_inputList = {m_data / "docs\\x"};

    struct CCase
    {
        bool byKey;
        bool filterSw;
        std::vector<std::string> states;
    };
    const CCase kCases[] = {
        {false, true, {"除外", "除外", "除外"}},
        {true, true, {"除外", "除外", "除外"}},
        {false, false, {"圧縮する", "圧縮する", "圧縮する"}},
    };
    for (const CCase& c : kCases)
    {
        std::string item;
        Rows rows;
        CDialogScript script({{kCompressTitle, [&](HWND dialog) {
                                   HMENU menu = GetSystemMenu(dialog, FALSE);
                                   char text[128] = "";
                                   GetMenuStringA(menu, GetMenuItemCount(menu) - 1, text, sizeof(text), MF_BYPOSITION);
                                   item = text;
                                   SendMessageA(GetDlgItem(dialog, IDC_FILTER_LIST), CB_SETCURSEL, 1, 0);
                                   SendMessageA(GetDlgItem(dialog, IDC_USE_FILTER), BM_SETCHECK,
                                                c.filterSw ? BST_CHECKED : BST_UNCHECKED, 0);
                                   if (c.byKey)
                                   {
                                       SetForegroundWindow(dialog);
                                       INPUT keys[4] = {};
                                       for (INPUT& key : keys)
                                           key.type = INPUT_KEYBOARD;
                                       keys[0].ki.wVk = VK_CONTROL;
                                       keys[1].ki.wVk = 'P';
                                       keys[2].ki.wVk = 'P';
                                       keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
                                       keys[3].ki.wVk = VK_CONTROL;
                                       keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
                                       SendInput(4, keys, sizeof(INPUT));
                                   }
                                   else
                                   {
                                       PostMessageA(dialog, WM_SYSCOMMAND, GetMenuItemID(menu, GetMenuItemCount(menu) - 1),
                                                    0);
                                   }
                                   HWND preview = WaitForTopWindow(kPreviewTitle);
                                   ASSERT_NE(nullptr, preview);
                                   EXPECT_EQ(dialog, GetWindow(preview, GW_OWNER));
                                   EXPECT_TRUE(WaitForWalkEnd(preview));
                                   ClickHeader(preview, 0);
                                   rows = ListViewRows(GetDlgItem(preview, IDC_PREVIEW_ROWS), 2);
                                   PressButton(preview, IDCANCEL);
                                   EXPECT_TRUE(
                                       WaitUntil([]() { return WaitForTopWindow(kPreviewTitle, 0, 0) == NULL; }));
                                   PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
                               }}});
        RunCompressDialog(nullptr);
        script.Finish();
        EXPECT_EQ("フィルタのプレビュー(&V)...\tCtrl+P", item);
        ASSERT_EQ(3u, rows.size()) << c.byKey;
        EXPECT_EQ(c.states, Column(rows, 1)) << c.byKey;
    }
    g_inputList.clear();
    g_appSetting = CAppSetting();
}
