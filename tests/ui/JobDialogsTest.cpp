// The overwrite, password and result dialogs as the user meets them: their
// texts, what each button and key returns, and what they leave in the job.
#include "archivers/formats/FormatRegistry.h"
#include "resources/resource.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/ui/DialogScript.h"
#include "tests/ui/TooltipProbe.h"
#include "ui/jobdialogs/OverwriteDialog.h"
#include "ui/jobdialogs/PasswordDialog.h"
#include "ui/jobdialogs/ResultDialog.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const char kOverwriteTitle[] = "上書き確認";
const char kPasswordTitle[] = "パスワードの設定";
const char kResultTitle[] = "処理結果";
const char kErrorTitle[] = "エラー  - Tessik";

class JobDialogs : public ::testing::Test
{
protected:
    JobDialogs() : m_standIns(kSevenZipStandIns) { m_standIns.Register(); }

    CStandInFormats m_standIns;
};

}  // namespace

TEST_F(JobDialogs, OverwriteDialogShowsTheFileAndOffersAddOnlyForFormatsThatCanAdd)
{
    struct
    {
        int format;
        bool addEnabled;
    } cases[] = {{0, false}, {1, false}, {2, true}};
    for (const auto& c : cases)
    {
        CCompressJob job = MakeJob(c.format, "C:\\作業\\表ソ.7z");
        std::map<int, CTooltipInfo> tooltips;
        CDialogScript::CStep look;
        look.title = kOverwriteTitle;
        look.action = [&tooltips](HWND window) {
            tooltips = TooltipsOf(window);
            PressButton(window, IDC_RENAME);
        };
        CDialogScript script({look});
        EXPECT_EQ(3, RunOverwriteDialog(NULL, &job));
        const auto& seen = script.Finish();
        ASSERT_EQ(1u, seen.size());
        const CWindowSnapshot& dialog = seen[0].window;
        ASSERT_NE(nullptr, dialog.Find(IDC_APPEND));
        EXPECT_EQ(c.addEnabled, dialog.Find(IDC_APPEND)->enabled) << c.format;
        if (c.format != 0)
            continue;
        EXPECT_EQ("C:\\作業\\表ソ.7z", dialog.Find(IDC_OVERWRITE_FILE)->text);
        EXPECT_TRUE(dialog.Find(IDC_OVERWRITE_FILE)->style & ES_READONLY);
        EXPECT_EQ("上書き(&O)", dialog.Find(IDC_OVERWRITE)->text);
        EXPECT_EQ("書庫に追加(&A)", dialog.Find(IDC_APPEND)->text);
        EXPECT_EQ("名前を再指定(&R)", dialog.Find(IDC_RENAME)->text);
        EXPECT_NE(nullptr, dialog.Find(-1));
        EXPECT_EQ(" このファイルは、既に存在します。", dialog.Find(-1)->text);
        EXPECT_EQ("出力ファイル名", tooltips[IDC_OVERWRITE_FILE].text);
        EXPECT_EQ("現在のファイルに上書きします", tooltips[IDC_OVERWRITE].text);
        EXPECT_EQ("現在のファイルに追加します", tooltips[IDC_APPEND].text);
        EXPECT_EQ("もう一度、ファイル名を設定します", tooltips[IDC_RENAME].text);
        EXPECT_EQ(30000, tooltips[IDC_RENAME].autoPop);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), tooltips[IDC_RENAME].maxWidth);
    }
}

TEST_F(JobDialogs, OverwriteDialogResultsForButtonsKeysAndCloseBox)
{
    CDialogScript::CStep enter;
    enter.title = kOverwriteTitle;
    enter.action = [](HWND window) { PressKey(window, VK_RETURN); };
    bool openAfterEscape = false;
    CDialogScript::CStep escapeThenClose;
    escapeThenClose.title = kOverwriteTitle;
    escapeThenClose.action = [&openAfterEscape](HWND window) {
        PressKey(window, VK_ESCAPE);
        WaitUntilHandled(window);
        openAfterEscape = IsWindowVisible(window) != FALSE;
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    struct
    {
        const char* what;
        CDialogScript::CStep step;
        int result;
    } cases[] = {
        {"overwrite", Press(kOverwriteTitle, IDC_OVERWRITE), 1},
        {"add", Press(kOverwriteTitle, IDC_APPEND), 2},
        {"rename", Press(kOverwriteTitle, IDC_RENAME), 3},
        {"close box", CloseBox(kOverwriteTitle), 3},
        {"enter presses the default button", enter, 3},
        {"escape does nothing, close box ends", escapeThenClose, 3},
    };
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    for (const auto& c : cases)
    {
        CCompressJob job = MakeJob(2, "C:\\x.zip");
        CDialogScript script({c.step});
        EXPECT_EQ(c.result, RunOverwriteDialog(owner, &job)) << c.what;
        const auto& seen = script.Finish();
        ASSERT_EQ(1u, seen.size()) << c.what;
        EXPECT_EQ(owner, seen[0].owner) << c.what;
    }
    EXPECT_TRUE(openAfterEscape);
    DestroyWindow(owner);
}

TEST_F(JobDialogs, PasswordDialogKeepsEntriesOnMismatchAndStoresTheConfirmedPassword)
{
    CCompressJob job = MakeJob(0, "C:\\x.7z");
    CDialogScript::CStep check;
    check.title = kPasswordTitle;
    std::string firstAfterMismatch, secondAfterMismatch;
    check.action = [&](HWND window) {
        firstAfterMismatch = GetWindowTextString(GetDlgItem(window, IDC_PASSWORD));
        secondAfterMismatch = GetWindowTextString(GetDlgItem(window, IDC_PASSWORD_AGAIN));
        SetControlText(window, IDC_PASSWORD_AGAIN, "abc");
        PressKey(window, VK_RETURN);
    };
    CDialogScript script({Fill(kPasswordTitle, {{IDC_PASSWORD, "abc"}, {IDC_PASSWORD_AGAIN, "abd"}}, IDOK, false),
                          Press(kErrorTitle, IDOK), check});
    EXPECT_EQ(1, RunPasswordDialog(NULL, &job));
    const auto& seen = script.Finish();
    ASSERT_EQ(3u, seen.size());
    const CWindowSnapshot& dialog = seen[0].window;
    EXPECT_EQ("パスワードを入力してください。", dialog.controls[0].text);
    EXPECT_TRUE(dialog.Find(IDC_PASSWORD)->style & ES_PASSWORD);
    EXPECT_TRUE(dialog.Find(IDC_PASSWORD_AGAIN)->style & ES_PASSWORD);
    EXPECT_EQ("設定(&S)", dialog.Find(IDOK)->text);
    EXPECT_EQ("ｷｬﾝｾﾙ(&C)", dialog.Find(IDCANCEL)->text);
    EXPECT_EQ("入力されたパスワードが一致しません\r\nもう一度、入力してください", seen[1].window.MessageText());
    EXPECT_TRUE(seen[1].window.HasIcon());
    EXPECT_EQ(seen[0].window.hwnd, seen[1].owner);
    EXPECT_EQ("abc", firstAfterMismatch);
    EXPECT_EQ("abd", secondAfterMismatch);
    EXPECT_EQ("abc", job.Password);
}

TEST_F(JobDialogs, PasswordDialogRefusesADoubleQuote)
{
    // A quote would end the quoted -p argument and turn the rest into switches.
    CCompressJob job = MakeJob(0, "C:\\x.7z");
    std::map<int, CTooltipInfo> tooltips;
    CDialogScript::CStep retry;
    retry.title = kPasswordTitle;
    retry.action = [&tooltips](HWND window) {
        tooltips = TooltipsOf(window);
        SetControlText(window, IDC_PASSWORD, "a b");
        SetControlText(window, IDC_PASSWORD_AGAIN, "a b");
        PressButton(window, IDOK);
    };
    CDialogScript script(
        {Fill(kPasswordTitle, {{IDC_PASSWORD, "x\" -y"}, {IDC_PASSWORD_AGAIN, "x\" -y"}}, IDOK, false),
         Press(kErrorTitle, IDOK), retry});
    EXPECT_EQ(1, RunPasswordDialog(NULL, &job));
    const auto& seen = script.Finish();
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ("パスワードにダブルクォーテーション(\")は使用できません\r\n別のパスワードを入力してください",
              seen[1].window.MessageText());
    EXPECT_EQ("a b", job.Password);
    EXPECT_EQ("パスワードを入力します", tooltips[IDC_PASSWORD].text);
    EXPECT_EQ("確認のため、同じパスワードをもう一度入力します", tooltips[IDC_PASSWORD_AGAIN].text);
}

TEST_F(JobDialogs, PasswordDialogCancelEscapeAndCloseBoxLeaveNoPassword)
{
    CDialogScript::CStep escape;
    escape.title = kPasswordTitle;
    escape.action = [](HWND window) {
        SetControlText(window, IDC_PASSWORD, "typed");
        SetControlText(window, IDC_PASSWORD_AGAIN, "typed");
        PressKey(window, VK_ESCAPE);
    };
    for (const CDialogScript::CStep& step :
         {Fill(kPasswordTitle, {{IDC_PASSWORD, "p"}, {IDC_PASSWORD_AGAIN, "p"}}, IDCANCEL), escape,
          CloseBox(kPasswordTitle)})
    {
        CCompressJob job = MakeJob(0, "C:\\x.7z");
        CDialogScript script({step});
        EXPECT_EQ(2, RunPasswordDialog(NULL, &job));
        EXPECT_EQ(1u, script.Finish().size());
        EXPECT_EQ("", job.Password);
    }
}

TEST_F(JobDialogs, PasswordDialogAcceptsTwoEmptyFields)
{
    CCompressJob job = MakeJob(0, "C:\\x.7z");
    job.Password = "stale";
    CDialogScript script({Press(kPasswordTitle, IDOK)});
    EXPECT_EQ(1, RunPasswordDialog(NULL, &job));
    EXPECT_EQ("", job.Password);
}

TEST_F(JobDialogs, ResultDialogShowsTheTextUnchangedAndIgnoresEscape)
{
    std::string text = "7-Zip32.dll: ERROR\r\n" + std::string(300, 'x') + "\r\n表示\r\n";
    // Escape with the focus on the button and in the text field (a multi-line
    // edit, which by itself would close its dialog on Escape).
    for (int focus : {IDOK, IDC_RESULT_TEXT})
    {
        CDialogScript::CStep escapeThenClose;
        escapeThenClose.title = kResultTitle;
        bool openAfterEscape = false;
        escapeThenClose.action = [&openAfterEscape, focus](HWND window) {
            SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, focus)), TRUE);
            PressKey(window, VK_ESCAPE);
            WaitUntilHandled(window);
            openAfterEscape = IsWindowVisible(window) != FALSE;
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        };
        CDialogScript script({escapeThenClose});
        EXPECT_EQ(2, RunResultDialog(NULL, text.c_str())) << focus;
        const auto& seen = script.Finish();
        ASSERT_EQ(1u, seen.size());
        const CControlSnapshot* box = seen[0].window.Find(IDC_RESULT_TEXT);
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(text, box->text);
        LONG wanted = ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL;
        EXPECT_EQ(wanted, box->style & wanted);
        EXPECT_EQ("閉じる(&C)", seen[0].window.Find(IDOK)->text);
        EXPECT_TRUE(openAfterEscape) << focus;
    }
    {
        CDialogScript script({Press(kResultTitle, IDOK)});
        EXPECT_EQ(1, RunResultDialog(NULL, "ok"));
    }
}
