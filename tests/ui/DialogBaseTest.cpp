// The framework hands each dialog kind its object with WM_INITDIALOG and then
// gets out of the way.
#include "resources/resource.h"
#include "tests/ui/DialogScript.h"
#include "ui/DialogBase.h"

#include <gtest/gtest.h>

namespace {

struct CRecord
{
    LPARAM initParam = 0;
    LONG_PTR procAfterInit = 0;
    int messagesAfterInit = 0;
};

CRecord s_record;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
    {
        s_record.initParam = lParam;
        s_record.procAfterInit = GetWindowLongPtrA(window, DWLP_DLGPROC);
        return TRUE;
    }
    ++s_record.messagesAfterInit;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        EndDialog(window, 77);
    return 0;
}

}  // namespace

TEST(DialogBase, KindProcedureGetsTheObjectAndThenEveryMessageDirectly)
{
    s_record = CRecord();
    CDialogBase dialog;
    CDialogScript script({Press("処理結果", IDOK)});
    EXPECT_EQ(77, dialog.RunModal(IDD_RESULT, GetResourceModule(), NULL, RecordingProc, 1234));
    script.Finish();
    EXPECT_EQ(reinterpret_cast<LPARAM>(&dialog), s_record.initParam);
    EXPECT_EQ(1234, dialog.GetInitValue());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&RecordingProc), s_record.procAfterInit);
    EXPECT_GT(s_record.messagesAfterInit, 0);
}

TEST(DialogBase, ModelessDialogGetsItsClientSize)
{
    CDialogBase dialog;
    HWND window = dialog.CreateModeless(IDD_RESULT, GetResourceModule(), NULL, RecordingProc);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, dialog.GetHwnd());
    RECT before;
    GetWindowRect(window, &before);
    EXPECT_EQ(1, dialog.SetClientSize(300, 80));
    RECT client, after;
    GetClientRect(window, &client);
    GetWindowRect(window, &after);
    EXPECT_EQ(300, client.right);
    EXPECT_EQ(80, client.bottom);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    DestroyWindow(window);
}
