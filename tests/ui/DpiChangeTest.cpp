// A window of the program that hears WM_DPICHANGED (a move to a monitor of
// another scale) takes the rectangle the message suggests and scales what it
// sizes itself: the columns and font of its list, the preview's layout, the
// progress window's texts and button. The widths the program keeps for the
// next window stay in 96-DPI units.
#include "dllkit/ProgressWindow.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"
#include "tests/ui/DialogScript.h"
#include "ui/filtereditors/FilterListEditor.h"
#include "ui/filtereditors/FilterPreviewDialog.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const int kOldDpi = 96;
const int kNewDpi = 144;

typedef std::function<void(HWND)> Probe;

struct CDpiCase
{
    const char* name;
    // Shows the window, runs the probe on it while it is up (from the
    // script's thread for a modal dialog), then closes it.
    std::function<void(const Probe&)> show;
    // A control the window places and sizes itself, 0 for none.
    int partId;
    // Its list view and the list's columns.
    int listId;
    int columns;
};

// The window's rectangle; the part's width and height; the list's columns' widths, then its font's height.
std::vector<int> LookAt(HWND window, const CDpiCase& row, RECT* frame)
{
    GetWindowRect(window, frame);
    RECT part = {};
    GetWindowRect(GetDlgItem(window, row.partId), &part);
    std::vector<int> look = {part.right - part.left, part.bottom - part.top};
    HWND list = GetDlgItem(window, row.listId);
    for (int i = 0; i < row.columns; ++i)
        look.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)));
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)), sizeof(font), &font);
    look.push_back(font.lfHeight);
    return look;
}

// Shows a modal dialog by run, probing the window with title.
void ShowModal(const char* title, int closeId, const std::function<void()>& run, const Probe& probe)
{
    CDialogScript script({{title, [&probe, closeId](HWND window) {
                               probe(window);
                               PressButton(window, closeId);
                           }}});
    run();
    for (const CDialogScript::CSeen& seen : script.Finish())
        EXPECT_TRUE(seen.expected) << seen.window.title;
}

void ShowPreview(const Probe& probe)
{
    CTestFolder data;
    data.WriteFile("a.txt", "abc");
    CFilterList list;
    list.Title = "一覧";
    list.Definitions = {Definition(kFilterTypeExtension, ".bak")};
    CCompressJob job;
    job.Setting.FilterSw = true;
    job.Setting.FilterLists = {list};
    job.FilterListIndex = 0;
    CFilterPreviewDialog dialog(job, {Widen(data / "a.txt")});
    ShowModal("フィルタのプレビュー", IDCANCEL, [&dialog]() { dialog.Run(NULL); }, probe);
}

void ShowListEditor(const Probe& probe)
{
    g_workingFilterList = CFilterList();
    CFilterListEditor editor;
    ShowModal("フィルタリストの編集", IDCANCEL, [&editor]() { editor.Run(NULL); }, probe);
}

void ShowProgress(const Probe& probe)
{
    CProgressWindow window(GetModuleHandleA(NULL), NULL, "C:\\data\\一式.zip");
    ASSERT_NE(nullptr, window.GetHwnd());
    probe(window.GetHwnd());
}

const CDpiCase kCases[] = {
    {"filter preview", ShowPreview, IDCANCEL, IDC_PREVIEW_ROWS, 7},
    {"filter list editor", ShowListEditor, 0, IDC_LIST_DEFINITIONS, 3},
    {"progress window", ShowProgress, IDCANCEL, 0, 0},
};

}  // namespace

TEST(DpiChange, EachWindowTakesTheSuggestedRectangleAndScalesItsOwnParts)
{
    const std::vector<int> keptWidths(g_appSetting.ColumnWidths, g_appSetting.ColumnWidths + 5);
    for (const CDpiCase& row : kCases)
    {
        std::vector<int> before, after;
        RECT frame = {}, suggested = {}, taken = {};
        row.show([&](HWND window) {
            before = LookAt(window, row, &frame);
            // As the platform suggests it for a move to a monitor at 144 DPI.
            suggested = {frame.left + 8, frame.top + 8, frame.left + 8 + MulDiv(frame.right - frame.left, 3, 2),
                         frame.top + 8 + MulDiv(frame.bottom - frame.top, 3, 2)};
            SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(kNewDpi, kNewDpi), reinterpret_cast<LPARAM>(&suggested));
            after = LookAt(window, row, &taken);
        });

        SCOPED_TRACE(row.name);
        EXPECT_TRUE(EqualRect(&suggested, &taken)) << taken.left << "," << taken.top << "," << taken.right;
        ASSERT_EQ(before.size(), after.size());
        // The part may be a pixel off: its corners are scaled, not its size.
        for (size_t i = 0; i < 2; ++i)
            EXPECT_NEAR(MulDiv(before[i], kNewDpi, kOldDpi), after[i], 1) << "part";
        for (size_t i = 2; i + 1 < after.size(); ++i)
            EXPECT_EQ(MulDiv(before[i], kNewDpi, kOldDpi), after[i]) << "column " << i - 2;
        if (row.listId != 0)
        {
            EXPECT_EQ(-MulDiv(9, kNewDpi, 72), after.back());
        }
    }
    // The list editor kept its columns' widths for the next window at 96 DPI again.
    EXPECT_EQ(keptWidths, std::vector<int>(g_appSetting.ColumnWidths, g_appSetting.ColumnWidths + 5));
}
