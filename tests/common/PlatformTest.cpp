#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

// Everything in the program is Shift_JIS: a run in another code page would pass
// tests on the wrong bytes, so this fails loudly instead.
TEST(Platform, AnsiCodePageIsShiftJis)
{
    EXPECT_EQ(932u, GetACP());
}

TEST(Platform, NarrowLiteralsAreShiftJis)
{
    const unsigned char expected[] = {0x95, 0x5C, 0x00};  // 表, trail byte 0x5C
    EXPECT_STREQ(reinterpret_cast<const char*>(expected), "表");
}

TEST(UiHelper, AnswersMessageBoxAndReadsItsTexts)
{
    CWindowResponder responder("確認  - Tessik", IDNO);
    int answer = MessageBoxA(NULL, "上書きしますか？", "確認  - Tessik", MB_YESNO | MB_ICONQUESTION);
    const CWindowSnapshot& box = responder.Result();

    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ(IDNO, answer);
    EXPECT_EQ("上書きしますか？", box.MessageText());
    ASSERT_NE(nullptr, box.Find(IDYES));
    ASSERT_NE(nullptr, box.Find(IDNO));
    EXPECT_TRUE(box.HasIcon());
}

TEST(UiHelper, WindowThatNeverAppearsGivesEmptySnapshot)
{
    CWindowResponder responder("no such window", IDOK, 300);
    EXPECT_EQ(nullptr, responder.Result().hwnd);
}

namespace {

const UINT kCountMe = WM_APP + 1;
const UINT kHideAndStop = WM_APP + 2;
LONG g_counted = 0;
bool g_stopPumping = false;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kCountMe)
    {
        // Slow enough that a caller who did not wait would see a count short of all.
        Sleep(2);
        InterlockedIncrement(&g_counted);
        return 0;
    }
    if (message == kHideAndStop)
    {
        ShowWindow(window, SW_HIDE);
        g_stopPumping = true;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Dispatches this thread's messages until done is set or the bound passes.
bool PumpUntil(const std::atomic<bool>& done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done && !g_stopPumping)
    {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (!g_stopPumping && PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    return true;
}

}  // namespace

TEST(UiHelper, WaitUntilHandledReturnsOnceThePostedMessagesAreHandled)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "TessikCountingWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "数える", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL,
                                  NULL, NULL, NULL);
    ASSERT_NE(nullptr, window);

    // Handled: every message posted before the call has been dispatched when it returns.
    const LONG kPosted = 50;
    LONG countedAtReturn = -1;
    bool handled = false;
    std::atomic<bool> done(false);
    std::thread poster([&] {
        for (LONG i = 0; i < kPosted; ++i)
            PostMessageA(window, kCountMe, 0, 0);
        handled = WaitUntilHandled(window);
        countedAtReturn = InterlockedCompareExchange(&g_counted, 0, 0);
        done = true;
    });
    EXPECT_TRUE(PumpUntil(done, 30000));
    poster.join();
    EXPECT_TRUE(handled);
    EXPECT_EQ(kPosted, countedAtReturn);

    // A thread that takes nothing from its queue: false once the bound has passed.
    bool handledUnpumped = true;
    std::thread waiter([&] { handledUnpumped = WaitUntilHandled(window, 300); });
    waiter.join();
    EXPECT_FALSE(handledUnpumped);

    // A window hidden by what was posted (a dialog that ends) counts as handled,
    // although its thread stops taking messages.
    done = false;
    bool handledHidden = false;
    std::thread closer([&] {
        PostMessageA(window, kHideAndStop, 0, 0);
        handledHidden = WaitUntilHandled(window, 20000);
        done = true;
    });
    PumpUntil(done, 30000);
    closer.join();
    EXPECT_TRUE(g_stopPumping);
    EXPECT_TRUE(handledHidden);
    DestroyWindow(window);
}
