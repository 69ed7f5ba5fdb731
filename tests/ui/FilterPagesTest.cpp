// The filter page, the filter-list editor and the definition editor as real
// windows: rows, switches, moves, the two editors' rules and messages, ".flt"
// export and import through the file dialogs, and a job that uses a list made
// in them.
#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/ListViewProbe.h"
#include "tests/ui/TooltipProbe.h"
#include "tests/ui/WindowImage.h"
#include "ui/filtereditors/FilterDefEditor.h"
#include "ui/filtereditors/FilterListEditor.h"
#include "ui/filtereditors/FilterPage.h"
#include "ui/settingsdialog/SettingsDialog.h"
#include "ui/framework/SettingsPage.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

const char kListEditorTitle[] = "フィルタリストの編集";
const char kDefEditorTitle[] = "フィルタの編集";
const char kErrorTitle[] = "エラー  - Tessik";
const char kConfirmTitle[] = "確認  - Tessik";
const char kInfoTitle[] = "情報  - Tessik";
const char kExportTitle[] = "エクスポート先のファイルを選択してください";
const char kImportTitle[] = "インポートするファイルを選択してください";
const int kSevenZipFormat = 0;

typedef std::vector<std::vector<std::string>> Rows;

int AltLetter(char letter)
{
    return IDK_ALT_A + (letter - 'A');
}

// A command as the accelerator table or a button would deliver it.
void Command(HWND window, int id)
{
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

void PostCommand(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// A real click on a check box: it toggles, then tells the dialog.
void Click(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool Checked(HWND dialog, int id)
{
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Dispatches what the windows of the test's thread have pending (a posted
// click, a repaint): after it, what was asked of them has been done.
void DispatchPending()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

CDialogScript::CStep Step(const std::string& title, CDialogScript::Action action, bool waitClose = true)
{
    CDialogScript::CStep step;
    step.title = title;
    step.action = action;
    step.waitClose = waitClose;
    return step;
}

// A message box: its text is kept, then it is answered with button.
CDialogScript::CStep Answer(const std::string& title, int button, std::string* text = nullptr)
{
    return Step(title, [button, text](HWND box) {
        if (text != nullptr)
            *text = SnapshotWindow(box).MessageText();
        PressButton(box, button);
    });
}

// The definition editor filled and confirmed.
CDialogScript::CStep NewDefinition(int type, const std::string& pattern, const std::string& comment = "")
{
    return Step(kDefEditorTitle, [=](HWND editor) {
        SendMessageA(GetDlgItem(editor, IDC_DEF_TARGET), CB_SETCURSEL, static_cast<WPARAM>(type), 0);
        SetControlText(editor, IDC_DEF_PATTERN, pattern);
        SetControlText(editor, IDC_DEF_COMMENT, comment);
        PressButton(editor, IDOK);
    });
}

// Acts on the list editor and leaves it open for what follows.
CDialogScript::CStep InListEditor(std::function<void(HWND)> action)
{
    return Step(kListEditorTitle, action, false);
}

CDialogScript::CStep ExportTo(const std::string& path, bool replace)
{
    return Step(kExportTitle, [=](HWND dialog) { AnswerFileDialog(dialog, path, replace); });
}

CDialogScript::CStep ImportFrom(const std::string& path, std::string* offeredName = nullptr)
{
    return Step(kImportTitle, [=](HWND dialog) {
        if (offeredName != nullptr)
            *offeredName = GetWindowTextString(FileDialogNameField(dialog));
        AnswerFileDialog(dialog, path, false);
    });
}

Rows DefinitionRows(HWND editor)
{
    return ListViewRows(GetDlgItem(editor, IDC_LIST_DEFINITIONS), 3);
}

CFilterList NamedList(const char* title, const char* comment, std::vector<CFilterDef> definitions, int actType = 0)
{
    CFilterList list;
    list.Title = title;
    list.Comment = comment;
    list.Definitions = definitions;
    list.ActType = actType;
    return list;
}

CFilterList SampleList()
{
    CFilterDef commented = Definition(kFilterTypeFileName, "(a|b)\\.txt", true, true);
    commented.Comment = "両方";
    return NamedList("表示用", "コメント=あり", {Definition(kFilterTypeExtension, ".bak"), commented},
                     kFilterActOnly);
}

// Not a dialog: the dialog script answers every dialog window it sees.
const char* HostClass()
{
    static const char kName[] = "TessikFilterPageHost";
    static bool registered = false;
    if (!registered)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kName;
        registered = RegisterClassA(&windowClass) != 0;
    }
    return kName;
}

void ExpectTooltip(const std::string& expected, const CTooltipInfo& tip, int id)
{
    EXPECT_EQ(expected, tip.text) << id;
    EXPECT_EQ(30000, tip.autoPop) << id;
}

// The filter page as the settings dialog makes it, in a plain window.
class FilterPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_appSetting = CAppSetting();
        g_currentPageWindow = NULL;
    }

    void TearDown() override
    {
        ClosePage();
        g_currentPageWindow = NULL;
    }

    HWND OpenPage(const std::vector<CFilterList>& lists, bool filterSw)
    {
        ClosePage();
        g_appSetting.FilterLists = lists;
        g_appSetting.FilterSw = filterSw;
        m_host = CreateWindowExA(0, HostClass(), "フィルタ試験", WS_POPUP | WS_CAPTION | WS_VISIBLE, 40, 40, 420, 360,
                                 NULL, NULL, NULL, NULL);
        m_page = MakeFilterPage();
        m_pageWindow = m_page->Create(m_host);
        ShowWindow(m_pageWindow, SW_SHOW);
        g_currentPageWindow = m_pageWindow;
        return m_pageWindow;
    }

    // The settings dialog's close message: the page stores its switch.
    void ClosePage()
    {
        if (m_page != nullptr)
        {
            SendMessageA(m_pageWindow, WM_CLOSE, 0, 0);
            m_page->Destroy();
            m_page.reset();
        }
        if (m_host != NULL)
            DestroyWindow(m_host);
        m_host = NULL;
    }

    HWND Lists() const { return GetDlgItem(m_pageWindow, IDC_PAGE_LISTS); }

    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (const CFilterList& list : g_appSetting.FilterLists)
            titles.push_back(list.Title);
        return titles;
    }

    HWND m_host = NULL;
    HWND m_pageWindow = NULL;
    std::unique_ptr<CSettingsPage> m_page;
};

}  // namespace

TEST_F(FilterPage, OpensWithRowsSwitchColumnsAndTooltipsAndStoresTheSwitchOnClose)
{
    struct CCase
    {
        size_t lists;
        bool filterSw;
        bool enabled;
        bool checked;
        bool afterAltF;
    };
    const CCase kCases[] = {
        {0, true, false, false, false},
        {0, false, false, false, false},
        {2, true, true, true, false},
        {2, false, true, false, true},
    };
    const std::vector<CFilterList> two = {NamedList("ソース", "作業用=除外", {}), NamedList("画像", "", {})};
    for (const CCase& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << c.lists << " lists, FilterSw " << c.filterSw);
        HWND page = OpenPage(std::vector<CFilterList>(two.begin(), two.begin() + c.lists), c.filterSw);
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(c.enabled, Enabled(page, IDC_PAGE_USE_FILTER));
        EXPECT_EQ(c.checked, Checked(page, IDC_PAGE_USE_FILTER));
        Rows expected = c.lists == 0 ? Rows() : Rows{{"ソース", "作業用=除外"}, {"画像", ""}};
        EXPECT_EQ(expected, ListViewRows(Lists(), 2));
        EXPECT_EQ((std::vector<std::string>{"タイトル", "コメント"}), ListViewColumnTitles(Lists(), 2));
        EXPECT_EQ((std::vector<int>{96, 288}), ListViewColumnWidths(Lists(), 2));
        DWORD extended = static_cast<DWORD>(ListView_GetExtendedListViewStyle(Lists()));
        const DWORD kStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
        EXPECT_EQ(kStyles, extended & kStyles);
        LONG style = GetWindowLongA(Lists(), GWL_STYLE);
        EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
        EXPECT_EQ(0, style & LVS_SINGLESEL);

        Command(page, AltLetter('F'));
        EXPECT_EQ(c.afterAltF, Checked(page, IDC_PAGE_USE_FILTER));
        ListView_SetColumnWidth(Lists(), 0, 120);
        ClosePage();
        EXPECT_EQ(c.afterAltF, g_appSetting.FilterSw);
        EXPECT_EQ(120, g_appSetting.ColumnWidths[0]);
        g_appSetting.ColumnWidths[0] = 96;
    }

    OpenPage(two, false);
    std::map<int, CTooltipInfo> tips = TooltipsOf(m_pageWindow);
    const std::pair<int, const char*> kTips[] = {
        {IDC_PAGE_USE_FILTER, "フィルタを使用します"},
        {IDC_PAGE_LISTS, "登録されているフィルタリストです\nまた、リストアイテムを選択し、マウスの右ボタンをクリック"
                         "することで、編集・削除が行えます"},
        {IDC_PAGE_ADD, "フィルタリストを追加します"},
        {IDC_PAGE_DELETE, "選択したフィルタリストを削除します"},
        {IDC_PAGE_EDIT, "選択したフィルタリストを編集します"},
        {IDC_PAGE_UP, "選択アイテムを1つ上へ移動します"},
        {IDC_PAGE_DOWN, "選択アイテムを1つ下へ移動します"},
    };
    for (const auto& tip : kTips)
        ExpectTooltip(tip.second, tips[tip.first], tip.first);
}

TEST_F(FilterPage, MovesExactlyOneSelectedRowAndNeverPastTheEnds)
{
    const std::vector<CFilterList> three = {NamedList("A", "1", {Definition(0, ".a")}), NamedList("B", "2", {}),
                                            NamedList("C", "3", {Definition(1, "c")}, 1)};
    struct CCase
    {
        std::vector<int> selected;
        int command;
        std::vector<std::string> order;
        std::vector<int> selectedAfter;
    };
    const CCase kCases[] = {
        {{0}, IDC_PAGE_UP, {"A", "B", "C"}, {0}},
        {{2}, IDC_PAGE_DOWN, {"A", "B", "C"}, {2}},
        {{0, 1}, IDC_PAGE_DOWN, {"A", "B", "C"}, {0, 1}},
        {{1, 2}, IDC_PAGE_UP, {"A", "B", "C"}, {1, 2}},
        {{}, IDC_PAGE_DOWN, {"A", "B", "C"}, {}},
        {{1}, IDC_PAGE_UP, {"B", "A", "C"}, {0}},
        {{1}, IDC_PAGE_DOWN, {"A", "C", "B"}, {2}},
        {{0}, AltLetter('D'), {"B", "A", "C"}, {1}},
        {{2}, AltLetter('U'), {"A", "C", "B"}, {1}},
    };
    for (const CCase& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " from " << c.selected.size() << " rows");
        HWND page = OpenPage(three, true);
        SelectListViewRows(Lists(), c.selected);
        Command(page, c.command);
        EXPECT_EQ(c.order, Titles());
        EXPECT_EQ(c.selectedAfter, ListViewSelection(Lists()));
        Rows rows = ListViewRows(Lists(), 2);
        for (size_t i = 0; i < rows.size(); ++i)
        {
            EXPECT_EQ(g_appSetting.FilterLists[i].Title, rows[i][0]);
            EXPECT_EQ(g_appSetting.FilterLists[i].Comment, rows[i][1]);
        }
    }
    // The whole list moves with its title: definitions and action too.
    EXPECT_EQ(1, g_appSetting.FilterLists[1].ActType);
    EXPECT_EQ("c", g_appSetting.FilterLists[1].Definitions[0].Filter);

    // Edit and Delete with nothing or two rows selected open nothing; Ctrl+A
    // selects every row only while the list view has the focus.
    HWND page = OpenPage(three, true);
    CDialogScript script;
    SelectListViewRows(Lists(), {0, 2});
    Command(page, IDC_PAGE_EDIT);
    Command(page, AltLetter('E'));
    SelectListViewRows(Lists(), {});
    Command(page, IDC_PAGE_DELETE);
    Command(page, IDK_CTRL_A);
    EXPECT_TRUE(ListViewSelection(Lists()).empty());
    Command(page, AltLetter('L'));
    EXPECT_EQ(Lists(), GetFocus());
    Command(page, IDK_CTRL_A);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), ListViewSelection(Lists()));
    DispatchPending();
    EXPECT_TRUE(script.Titles().empty());
    EXPECT_EQ(3u, g_appSetting.FilterLists.size());
}

TEST_F(FilterPage, AddsEditsAndDeletesListsThroughTheEditors)
{
    HWND page = OpenPage({}, false);
    HWND listEditor = NULL, defEditor = NULL;
    HWND currentInList = NULL, currentInDef = NULL;
    std::string emptyTitle, emptyPattern;
    Rows rows;
    std::map<int, CTooltipInfo> listTips, defTips;
    std::vector<std::string> targets, actions;
    std::string patternFont, listFont;
    SIZE listImage = {}, defImage = {};
    {
        CDialogScript script({
            InListEditor([&](HWND editor) {
                listEditor = editor;
                currentInList = g_currentPageWindow;
                listTips = TooltipsOf(editor);
                HWND combo = GetDlgItem(editor, IDC_LIST_ACTION);
                for (int i = 0; i < 2; ++i)
                {
                    char text[256] = "";
                    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                    actions.push_back(text);
                }
                PressButton(editor, IDOK);
            }),
            Answer(kErrorTitle, IDOK, &emptyTitle),
            InListEditor([&](HWND editor) {
                SetControlText(editor, IDC_LIST_TITLE, "ソース");
                SetControlText(editor, IDC_LIST_COMMENT, "作業用");
                SendMessageA(GetDlgItem(editor, IDC_LIST_ACTION), CB_SETCURSEL, 1, 0);
                SendMessageA(GetDlgItem(editor, IDC_LIST_GITIGNORE), BM_SETCHECK, BST_CHECKED, 0);
                PressButton(editor, IDC_LIST_ADD);
            }),
            Step(kDefEditorTitle, [&](HWND editor) {
                defEditor = editor;
                currentInDef = g_currentPageWindow;
                defTips = TooltipsOf(editor);
                HWND combo = GetDlgItem(editor, IDC_DEF_TARGET);
                for (int i = 0; i < 2; ++i)
                {
                    char text[256] = "";
                    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                    targets.push_back(text);
                }
                LOGFONTA font = {};
                GetObjectA(reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(editor, IDC_DEF_PATTERN), WM_GETFONT, 0, 0)),
                           sizeof(font), &font);
                patternFont = font.lfFaceName;
                PressButton(editor, IDOK);
            }, false),
            Answer(kErrorTitle, IDOK, &emptyPattern),
            Step(kDefEditorTitle, [&](HWND editor) {
                SetControlText(editor, IDC_DEF_PATTERN, "txt");
                SetControlText(editor, IDC_DEF_COMMENT, "文書");
                Sleep(200);
                defImage = SaveWindowImage(editor, ArtefactPath("filter-definition-editor.bmp"));
                PressButton(editor, IDOK);
            }),
            InListEditor([&](HWND editor) { PressButton(editor, IDC_LIST_ADD); }),
            NewDefinition(kFilterTypeExtension, "."),
            InListEditor([&](HWND editor) { PressButton(editor, IDC_LIST_ADD); }),
            NewDefinition(kFilterTypeFileName, "txt"),
            InListEditor([&](HWND editor) { PressButton(editor, IDC_LIST_ADD); }),
            NewDefinition(kFilterTypeExtension, ".bak", "予備"),
            InListEditor([&](HWND editor) {
                rows = DefinitionRows(editor);
                LOGFONTA font = {};
                GetObjectA(reinterpret_cast<HFONT>(
                               SendMessageA(GetDlgItem(editor, IDC_LIST_DEFINITIONS), WM_GETFONT, 0, 0)),
                           sizeof(font), &font);
                listFont = font.lfFaceName;
                Sleep(200);
                listImage = SaveWindowImage(editor, ArtefactPath("filter-list-editor.bmp"));
                PressButton(editor, IDOK);
            }),
        });
        Command(page, AltLetter('A'));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    EXPECT_EQ(listEditor, currentInList);
    EXPECT_EQ(defEditor, currentInDef);
    EXPECT_EQ(page, g_currentPageWindow);
    EXPECT_EQ("タイトルを空欄にすることはできません", emptyTitle);
    EXPECT_EQ("定義を空欄にすることはできません", emptyPattern);
    EXPECT_EQ((std::vector<std::string>{"一致したファイルを圧縮しない", "一致したファイルのみ圧縮する"}), actions);
    EXPECT_EQ((std::vector<std::string>{"拡張子", "ファイル名(拡張子含む)"}), targets);
    EXPECT_EQ("ＭＳ ゴシック", patternFont);
    EXPECT_EQ("ＭＳ ゴシック", listFont);
    EXPECT_LT(0, listImage.cx);
    EXPECT_LT(0, defImage.cx);
    EXPECT_EQ((Rows{{"拡張子", ".txt", "文書"},
                    {"拡張子", ".(拡張子なし)", ""},
                    {"ファイル名", "txt", ""},
                    {"拡張子", ".bak", "予備"}}),
              rows);
    const std::pair<int, const char*> kListTips[] = {
        {IDC_LIST_TITLE, "フィルタリストのタイトルを入力してください"},
        {IDC_LIST_COMMENT, "コメントが必要であれば、入力してください"},
        {IDC_LIST_ADD, "フィルタを追加します"},
        {IDC_LIST_DELETE, "リストで選択されているフィルタ(複数可)を削除します"},
        {IDC_LIST_EDIT, "選択したフィルタを編集します"},
        {IDC_LIST_IMPORT, "外部ファイルからフィルタリストを取り込みます"},
        {IDC_LIST_EXPORT, "フィルタリストをファイルへ書き出します"},
        {IDC_LIST_GITIGNORE, "フォルダの .gitignore ファイルが除外するファイルとフォルダも、git と同じ規則で除外します\n"
                             ".git フォルダは常に除外されます"},
    };
    for (const auto& tip : kListTips)
        ExpectTooltip(tip.second, listTips[tip.first], tip.first);
    EXPECT_EQ(0u, listTips[IDC_LIST_ACTION].text.find("一致したファイルを圧縮しない: "));
    EXPECT_EQ(0u, listTips[IDC_LIST_DEFINITIONS].text.find("登録されているフィルタが表示されます\n"));
    EXPECT_EQ("半角英字において、大文字/小文字を区別してマッチングを行います", defTips[IDC_DEF_ALPHABET_BS].text);
    EXPECT_EQ("定義を、正規表現として扱い、マッチングを行います", defTips[IDC_DEF_REGEX].text);
    EXPECT_EQ("コメントが必要であれば、入力してください", defTips[IDC_DEF_COMMENT].text);
    EXPECT_EQ(0u, defTips[IDC_DEF_TARGET].text.find("拡張子: ファイル名の拡張子を"));
    EXPECT_EQ(0u, defTips[IDC_DEF_PATTERN].text.find("フィルタ定義を記述します\n"));

    ASSERT_EQ(1u, g_appSetting.FilterLists.size());
    CFilterDef bak = Definition(kFilterTypeExtension, ".bak");
    bak.Comment = "予備";
    CFilterDef txt = Definition(kFilterTypeExtension, ".txt");
    txt.Comment = "文書";
    CFilterList made = NamedList("ソース", "作業用",
                                 {txt, Definition(kFilterTypeExtension, "."), Definition(kFilterTypeFileName, "txt"), bak},
                                 kFilterActOnly);
    made.GitIgnore = true;
    ExpectSameList(made, g_appSetting.FilterLists[0]);
    EXPECT_EQ((Rows{{"ソース", "作業用"}}), ListViewRows(Lists(), 2));
    // Adding the first list enables the switch but leaves it off.
    EXPECT_TRUE(Enabled(page, IDC_PAGE_USE_FILTER));
    EXPECT_FALSE(Checked(page, IDC_PAGE_USE_FILTER));

    // Cancel after adding and deleting definitions leaves the list as it was;
    // three selected definitions go after one question.
    std::string deleteQuestion;
    Rows afterDelete;
    {
        CDialogScript script({
            InListEditor([&](HWND editor) {
                SelectListViewRows(GetDlgItem(editor, IDC_LIST_DEFINITIONS), {0, 1});
                PressButton(editor, IDC_LIST_DELETE);
            }),
            Answer(kConfirmTitle, IDYES),
            InListEditor([&](HWND editor) {
                SetControlText(editor, IDC_LIST_TITLE, "変更");
                PressButton(editor, IDC_LIST_ADD);
            }),
            NewDefinition(kFilterTypeFileName, "new"),
            InListEditor([&](HWND editor) {
                afterDelete = DefinitionRows(editor);
                PressButton(editor, IDCANCEL);
            }),
            InListEditor([&](HWND editor) {
                SelectListViewRows(GetDlgItem(editor, IDC_LIST_DEFINITIONS), {0, 1, 3});
                PressButton(editor, IDC_LIST_DELETE);
            }),
            Answer(kConfirmTitle, IDYES, &deleteQuestion),
            InListEditor([&](HWND editor) {
                SelectListViewRows(GetDlgItem(editor, IDC_LIST_DEFINITIONS), {0});
                PressButton(editor, IDC_LIST_EDIT);
            }),
            NewDefinition(kFilterTypeExtension, "doc"),
            InListEditor([&](HWND editor) { PressButton(editor, IDOK); }),
        });
        SelectListViewRows(Lists(), {0});
        Command(page, IDC_PAGE_EDIT);
        EXPECT_EQ((Rows{{"ファイル名", "txt", ""}, {"拡張子", ".bak", "予備"}, {"ファイル名", "new", ""}}),
                  afterDelete);
        ExpectSameList(made, g_appSetting.FilterLists[0]);
        SelectListViewRows(Lists(), {0});
        Command(page, AltLetter('E'));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    EXPECT_EQ("選択しているフィルタを、削除してもよろしいですか", deleteQuestion);
    CFilterList edited = NamedList("ソース", "作業用", {Definition(kFilterTypeExtension, ".doc")}, kFilterActOnly);
    edited.GitIgnore = true;
    ExpectSameList(edited, g_appSetting.FilterLists[0]);

    // No at the question keeps the list; Yes deletes it, and with the last
    // list gone the switch is off and disabled.
    Command(page, AltLetter('F'));
    EXPECT_TRUE(Checked(page, IDC_PAGE_USE_FILTER));
    std::string listQuestion;
    {
        CDialogScript script({Answer(kConfirmTitle, IDNO, &listQuestion), Answer(kConfirmTitle, IDYES)});
        SelectListViewRows(Lists(), {0});
        Command(page, IDC_PAGE_DELETE);
        EXPECT_EQ(1u, g_appSetting.FilterLists.size());
        Command(page, AltLetter('R'));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    EXPECT_EQ("選択しているフィルタリストを、削除してもよろしいですか", listQuestion);
    EXPECT_TRUE(g_appSetting.FilterLists.empty());
    EXPECT_TRUE(ListViewRows(Lists(), 2).empty());
    EXPECT_FALSE(Enabled(page, IDC_PAGE_USE_FILTER));
    EXPECT_FALSE(Checked(page, IDC_PAGE_USE_FILTER));
    ClosePage();
    EXPECT_FALSE(g_appSetting.FilterSw);
}

TEST(FilterDefEditor, TheTwoSwitchesExcludeEachOtherWithTheirMessages)
{
    g_workingFilterDef = Definition(kFilterTypeExtension, ".x", false, true);
    std::string first, second;
    bool regexAfterFirst = true, alphabetAfterFirst = false, regexAfterSecond = false, alphabetAfterSecond = true;
    std::string owner;
    CDialogScript script({
        Step(kDefEditorTitle, [&](HWND editor) { Click(editor, IDC_DEF_ALPHABET_BS); }, false),
        Answer(kInfoTitle, IDOK, &first),
        Step(kDefEditorTitle, [&](HWND editor) {
            regexAfterFirst = Checked(editor, IDC_DEF_REGEX);
            alphabetAfterFirst = Checked(editor, IDC_DEF_ALPHABET_BS);
            PostCommand(editor, AltLetter('R'));
        }, false),
        Answer(kInfoTitle, IDOK, &second),
        Step(kDefEditorTitle, [&](HWND editor) {
            regexAfterSecond = Checked(editor, IDC_DEF_REGEX);
            alphabetAfterSecond = Checked(editor, IDC_DEF_ALPHABET_BS);
            // Unchecking the only switch that is on asks nothing.
            Click(editor, IDC_DEF_REGEX);
            WaitUntilHandled(editor);
            Click(editor, IDC_DEF_REGEX);
            WaitUntilHandled(editor);
            SetControlText(editor, IDC_DEF_PATTERN, "^a+$");
            PressButton(editor, IDOK);
        }),
    });
    CFilterDefEditor editor;
    EXPECT_EQ(1, editor.Run(NULL));
    for (const CDialogScript::CSeen& seen : script.Finish())
        EXPECT_TRUE(seen.expected) << seen.window.title;
    EXPECT_EQ("\"正規表現\"と\"半角英字の大文字・小文字を区別\"を同時に有効にすることはできません。", first);
    EXPECT_EQ("\"半角英字の大文字・小文字を区別\"と\"正規表現\"の同時に有効にすることはできません。", second);
    EXPECT_FALSE(regexAfterFirst);
    EXPECT_TRUE(alphabetAfterFirst);
    EXPECT_TRUE(regexAfterSecond);
    EXPECT_FALSE(alphabetAfterSecond);
    // A regular expression on an extension gets the dot too.
    EXPECT_EQ(".^a+$", g_workingFilterDef.Filter);
    EXPECT_TRUE(g_workingFilterDef.Regex);
    EXPECT_FALSE(g_workingFilterDef.AlphabetBS);

    // Cancel and the close box change nothing and answer 2.
    const CFilterDef before = g_workingFilterDef;
    for (int round = 0; round < 2; ++round)
    {
        CDialogScript cancel({round == 0 ? Fill(kDefEditorTitle, {{IDC_DEF_PATTERN, "other"}}, IDCANCEL)
                                         : CloseBox(kDefEditorTitle)});
        EXPECT_EQ(2, editor.Run(NULL));
        EXPECT_EQ(before.Filter, g_workingFilterDef.Filter);
    }
}

TEST(FilterListEditor, ExportsAndImportsFltFilesWithTheFourQuestions)
{
    CTestFolder folder;
    const std::string exported = folder / "sample.flt";
    const std::string five = folder.WriteFile(
        "five.flt", "[FILTER_0]\r\nFilterNum=5\r\nTitle=old\r\n"
                    "Filter0_Filter=.a\r\nFilter1_Filter=.b\r\nFilter2_Filter=.c\r\nFilter3_Filter=.d\r\n"
                    "Filter4_Filter=.e\r\n");
    const std::string readOnly = folder.WriteFile("readonly.flt", "[FILTER_0]\r\nTitle=keep\r\n");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    std::string exportedMessage, readOnlyMessage;

    // Export: a new file, over a file of five definitions, over a read-only file.
    g_workingFilterList = SampleList();
    {
        CDialogScript script({
            InListEditor([&](HWND editor) { PostCommand(editor, AltLetter('X')); }),
            ExportTo(exported.substr(0, exported.size() - 4), false),
            Answer(kInfoTitle, IDOK, &exportedMessage),
            InListEditor([&](HWND editor) { PressButton(editor, IDC_LIST_EXPORT); }),
            ExportTo(five, true),
            Answer(kInfoTitle, IDOK),
            InListEditor([&](HWND editor) { PressButton(editor, IDC_LIST_EXPORT); }),
            ExportTo(readOnly, true),
            Answer(kErrorTitle, IDOK, &readOnlyMessage),
            InListEditor([&](HWND editor) { PressButton(editor, IDCANCEL); }),
        });
        CFilterListEditor editor;
        EXPECT_EQ(2, editor.Run(NULL));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("フィルタリストをエクスポートしました", exportedMessage);
    EXPECT_EQ("フィルタリストのエクスポートに失敗しました\n指定されたファイルに書き込みことができません\n\n" + readOnly,
              readOnlyMessage);
    EXPECT_EQ("[FILTER_0]\r\nTitle=keep\r\n", ReadFileBytes(readOnly));
    std::string fiveBytes = ReadFileBytes(five);
    EXPECT_NE(std::string::npos, fiveBytes.find("FilterNum=2\r\n"));
    EXPECT_NE(std::string::npos, fiveBytes.find("Filter1_Filter=(a|b)\\.txt\r\n"));
    EXPECT_EQ(std::string::npos, fiveBytes.find("Filter2_")) << fiveBytes;
    EXPECT_EQ(std::string::npos, fiveBytes.find("Filter4_")) << fiveBytes;
    ASSERT_TRUE(FileExists(exported)) << "the name typed without extension gets .flt";

    // Import: Cancel at each question applies nothing, the dialog offers the
    // name chosen last, No at the third question appends, Yes to all
    // reproduces the exported list.
    const CFilterList current = NamedList("今の", "現在", {Definition(1, "x"), Definition(1, "y")}, 0);
    g_workingFilterList = current;
    std::vector<CDialogScript::CStep> steps;
    std::vector<Rows> afterCancel(4);
    std::string offered;
    for (int cancelAt = 0; cancelAt < 4; ++cancelAt)
    {
        steps.push_back(InListEditor([](HWND editor) { PostCommand(editor, AltLetter('I')); }));
        steps.push_back(ImportFrom(exported, cancelAt == 1 ? &offered : nullptr));
        for (int question = 0; question < cancelAt; ++question)
            steps.push_back(Answer(kConfirmTitle, IDYES));
        steps.push_back(Answer(kConfirmTitle, IDCANCEL));
        steps.push_back(InListEditor([&afterCancel, cancelAt](HWND editor) {
            afterCancel[cancelAt] = DefinitionRows(editor);
            afterCancel[cancelAt].push_back({GetWindowTextString(GetDlgItem(editor, IDC_LIST_TITLE))});
        }));
    }
    std::string importedMessage;
    std::vector<std::string> questions(4);
    steps.push_back(InListEditor([](HWND editor) { PressButton(editor, IDC_LIST_IMPORT); }));
    steps.push_back(ImportFrom(exported));
    steps.push_back(Answer(kConfirmTitle, IDYES, &questions[0]));
    steps.push_back(Answer(kConfirmTitle, IDNO, &questions[1]));
    steps.push_back(Answer(kConfirmTitle, IDNO, &questions[2]));
    steps.push_back(Answer(kConfirmTitle, IDYES, &questions[3]));
    steps.push_back(Answer(kInfoTitle, IDOK, &importedMessage));
    Rows appended;
    int actionAfterAppend = -1;
    steps.push_back(InListEditor([&](HWND editor) {
        appended = DefinitionRows(editor);
        actionAfterAppend = static_cast<int>(SendMessageA(GetDlgItem(editor, IDC_LIST_ACTION), CB_GETCURSEL, 0, 0));
        PressButton(editor, IDOK);
    }));
    {
        CDialogScript script(steps);
        CFilterListEditor editor;
        EXPECT_EQ(1, editor.Run(NULL));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    const Rows kUnchanged = {{"ファイル名", "x", ""}, {"ファイル名", "y", ""}, {"今の"}};
    for (int cancelAt = 0; cancelAt < 4; ++cancelAt)
        EXPECT_EQ(kUnchanged, afterCancel[cancelAt]) << "cancel at question " << cancelAt + 1;
    // The dialog shows the name chosen last in its field, its folder as the folder.
    EXPECT_EQ("sample.flt", offered);
    EXPECT_EQ(0u, questions[0].find("タイトルを上書きしてもよろしいですか？\n\nはい = 上書き\n"));
    EXPECT_EQ(0u, questions[1].find("コメントを上書きしてもよろしいですか？"));
    EXPECT_EQ("フィルタリストを上書きしてもよろしいですか？\n\nはい = 上書き(現在のリストは消去されます)\n"
              "いいえ = 上書きせず、現在のリストに追加\nキャンセル = インポート処理を中止",
              questions[2]);
    EXPECT_EQ(0u, questions[3].find("フィルタ動作(左下のコンボボックス)を上書きしてもよろしいですか？"));
    EXPECT_EQ("ファイルリストをインポートしました", importedMessage);
    EXPECT_EQ(1, actionAfterAppend);
    EXPECT_EQ(4u, appended.size());
    CFilterList expected = SampleList();
    expected.Comment = current.Comment;
    expected.Definitions.insert(expected.Definitions.begin(), current.Definitions.begin(), current.Definitions.end());
    ExpectSameList(expected, g_workingFilterList);

    // Yes to all: exactly the exported list. A file that cannot be read: the
    // message names it and nothing changes.
    HANDLE lock = CreateFileA(five.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    std::string lockedMessage;
    g_workingFilterList = current;
    {
        CDialogScript script({
            InListEditor([](HWND editor) { PressButton(editor, IDC_LIST_IMPORT); }),
            ImportFrom(five),
            Answer(kErrorTitle, IDOK, &lockedMessage),
            InListEditor([](HWND editor) { PressButton(editor, IDC_LIST_IMPORT); }),
            ImportFrom(exported),
            Answer(kConfirmTitle, IDYES),
            Answer(kConfirmTitle, IDYES),
            Answer(kConfirmTitle, IDYES),
            Answer(kConfirmTitle, IDYES),
            Answer(kInfoTitle, IDOK),
            InListEditor([](HWND editor) { PressButton(editor, IDOK); }),
        });
        CFilterListEditor editor;
        EXPECT_EQ(1, editor.Run(NULL));
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    CloseHandle(lock);
    EXPECT_EQ("フィルタリストのインポートに失敗しました\n\n指定されたファイルを読み取ることができません\n\n" + five,
              lockedMessage);
    ExpectSameList(SampleList(), g_workingFilterList);
}

// A list made in the page drives the next job: the stand-in's list file holds
// exactly the files the list lets through.
TEST_F(FilterPage, AListMadeInThePageDrivesTheNextJob)
{
    CTestFolder dlls, data;
    InstallStandIns(dlls.Path(), {"7-Zip32.dll"});
    WriteStandInScript(dlls.Path(), "7-Zip32.dll", "result=0\ncreate=archive\n");
    SetDllDirectoryA(dlls.Path().c_str());
    g_sevenZipSettings = CSevenZipSettings();
    ASSERT_LE(1, RegisterAllFormats());
    for (const char* name : {"docs\\a.txt", "docs\\old.BAK", "docs\\sub\\Thumbs.db", "docs\\sub\\報告.doc"})
        data.WriteFile(name, "x");

    HWND page = OpenPage({NamedList("別", "", {Definition(1, "*")})}, false);
    {
        CDialogScript script({
            InListEditor([](HWND editor) {
                SetControlText(editor, IDC_LIST_TITLE, "除外");
                PressButton(editor, IDC_LIST_ADD);
            }),
            NewDefinition(kFilterTypeExtension, "bak"),
            InListEditor([](HWND editor) { PressButton(editor, IDC_LIST_ADD); }),
            NewDefinition(kFilterTypeFileName, "thumbs.db"),
            InListEditor([](HWND editor) { PressButton(editor, IDOK); }),
        });
        Command(page, IDC_PAGE_ADD);
        for (const CDialogScript::CSeen& seen : script.Finish())
            EXPECT_TRUE(seen.expected) << seen.window.title;
    }
    SelectListViewRows(Lists(), {1});
    Command(page, IDC_PAGE_UP);
    Click(page, IDC_PAGE_USE_FILTER);
    DispatchPending();
    ClosePage();
    ASSERT_TRUE(g_appSetting.FilterSw);

    CCompressJob job;
    job.Setting = g_appSetting;
    job.Setting.DefaultArcType = kSevenZipFormat;
    job.FilterListIndex = 0;
    job.OutputFile = data / "out.7z";
    g_testInputs = {data / "docs"};
    EXPECT_EQ(kJobSucceeded, RunDialogJob(NULL, &job));
    std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(dlls.Path(), "7-Zip32.dll"), "SevenZip");
    ASSERT_EQ(1u, calls.size());
    ASSERT_EQ(1u, calls[0].lists.size());
    std::string bytes = calls[0].lists[0].bytes;
    EXPECT_TRUE(bytes == "\"docs\\a.txt\"\r\n\"docs\\sub\\報告.doc\"\r\n" ||
                bytes == "\"docs\\sub\\報告.doc\"\r\n\"docs\\a.txt\"\r\n")
        << bytes;
    g_testInputs.clear();
    DestroyAllFormats();
    SetDllDirectoryA(NULL);
}

// The page inside the settings dialog, for the README's picture.
TEST_F(FilterPage, ShowsInTheSettingsDialogUnderItsTreeItem)
{
    g_appSetting.FilterLists = {SampleList(), NamedList("画像を除く", "写真と図", {Definition(0, ".jpg")}),
                                NamedList("ソースのみ", "", {Definition(1, "*.cpp")}, 1)};
    g_appSetting.FilterSw = true;
    CSettingsDialog dialog;
    HWND window = dialog.Create();
    ASSERT_NE(nullptr, window);
    HWND tree = GetDlgItem(window, IDC_PAGE_TREE);
    ASSERT_TRUE(SelectTreeItem(tree, "フィルタ"));
    DispatchPending();
    HWND page = g_currentPageWindow;
    ASSERT_NE(nullptr, GetDlgItem(page, IDC_PAGE_LISTS));
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_TRUE(Checked(page, IDC_PAGE_USE_FILTER));
    EXPECT_EQ((Rows{{"表示用", "コメント=あり"}, {"画像を除く", "写真と図"}, {"ソースのみ", ""}}),
              ListViewRows(GetDlgItem(page, IDC_PAGE_LISTS), 2));
    SelectListViewRows(GetDlgItem(page, IDC_PAGE_LISTS), {1});
    DispatchPending();
    EXPECT_LT(0, SaveWindowImage(window, ArtefactPath("filter-page.bmp")).cx);
}
