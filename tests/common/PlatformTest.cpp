#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

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
