// The framework hands each dialog kind its object with WM_INITDIALOG and then
// gets out of the way.
#include "resources/resource.h"
#include "tests/ui/DialogScript.h"
#include "ui/framework/DialogBase.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>
#include <vector>

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

namespace {

// A dialog kind on the framework's own procedure that records what reaches
// its handlers; a command from the text field throws.
class CProbeDialog : public CDialogBase
{
public:
    INT_PTR OnInit() { return TRUE; }
    INT_PTR OnCommand(int code, int id, HWND control)
    {
        if (id == IDC_RESULT_TEXT)
            throw std::runtime_error("handler failure");
        commands.push_back({code, id, control});
        return TRUE;
    }
    INT_PTR OnNotify(const NMHDR* header)
    {
        notified.push_back(header->code);
        return 55;
    }
    INT_PTR OnClose()
    {
        Destroy();
        return TRUE;
    }

    struct CCommand
    {
        int code;
        int id;
        HWND control;
        bool operator==(const CCommand& other) const
        {
            return code == other.code && id == other.id && control == other.control;
        }
    };
    std::vector<CCommand> commands;
    std::vector<UINT> notified;
};

// The same kind again, as a second window owned by the first.
class CProbeChild : public CProbeDialog
{
};

}  // namespace

TEST(DialogBase, KindGetsCommandCodeIdAndControlNotificationsAndSurvivesAThrowingHandler)
{
    CProbeDialog dialog;
    HWND window = dialog.CreateModeless(IDD_RESULT, GetResourceModule(), NULL, DialogKindProc<CProbeDialog>);
    ASSERT_NE(nullptr, window);
    HWND button = GetDlgItem(window, IDOK);
    HWND edit = GetDlgItem(window, IDC_RESULT_TEXT);

    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    NMHDR header = {edit, IDC_RESULT_TEXT, static_cast<UINT>(NM_DBLCLK)};
    // A dialog procedure's answer to WM_NOTIFY is what SendMessage returns.
    EXPECT_EQ(55, SendMessageA(window, WM_NOTIFY, IDC_RESULT_TEXT, reinterpret_cast<LPARAM>(&header)));
    header.code = NM_RCLICK;
    SendMessageA(window, WM_NOTIFY, IDC_RESULT_TEXT, reinterpret_cast<LPARAM>(&header));

    // The exception stops at the procedure: the message is left to the
    // platform and the dialog goes on taking messages.
    EXPECT_NO_THROW(SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESULT_TEXT, EN_CHANGE),
                                 reinterpret_cast<LPARAM>(edit)));
    EXPECT_TRUE(IsWindow(window));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));

    typedef CProbeDialog::CCommand C;
    EXPECT_EQ((std::vector<C>{{BN_CLICKED, IDOK, button}, {BN_CLICKED, IDOK, button}}), dialog.commands);
    EXPECT_EQ((std::vector<UINT>{static_cast<UINT>(NM_DBLCLK), static_cast<UINT>(NM_RCLICK)}), dialog.notified);

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(DialogBase, DestroyingAModelessDialogTakesItsOwnedDialogsAlong)
{
    CProbeDialog dialog;
    CProbeChild child;
    HWND window = dialog.CreateModeless(IDD_RESULT, GetResourceModule(), NULL, DialogKindProc<CProbeDialog>);
    HWND page = child.CreateModeless(IDD_RESULT, GetResourceModule(), window, DialogKindProc<CProbeChild>);
    ASSERT_NE(nullptr, page);
    dialog.Destroy();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(page));
    dialog.Destroy();  // nothing left to destroy
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}
