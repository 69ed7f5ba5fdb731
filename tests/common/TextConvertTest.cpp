#include "common/TextConvert.h"

#include <gtest/gtest.h>

// One name in its three forms; shiftJis is empty where code page 932 has no
// form that converts back to the same characters.
struct CTextCase
{
    std::wstring wide;
    std::string shiftJis;
    std::string utf8;
};

TEST(TextConvert, EveryFormOfEachName)
{
    const CTextCase cases[] = {
        {L"a-1.txt", "a-1.txt", "a-1.txt"},
        {L"かなカナ", "\x82\xA9\x82\xC8\x83J\x83i", "\xE3\x81\x8B\xE3\x81\xAA\xE3\x82\xAB\xE3\x83\x8A"},
        {L"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9", "\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99"},
        {L"表", "\x95\x5C", "\xE8\xA1\xA8"},
        {L"\uFF5E", "\x81\x60", "\xEF\xBD\x9E"},
        // 0x81 0x60, the nearest form of the wave dash, reads back as U+FF5E.
        {L"\u301C", "", "\xE3\x80\x9C"},
        // The yen sign's best fit is 0x5C, written without a default character:
        // only the way back shows it names something else (a separator).
        {L"\u00A5", "", "\xC2\xA5"},
        {L"한국어", "", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"},
        {L"a\U0001F600", "", "a\xF0\x9F\x98\x80"},
    };
    for (const CTextCase& c : cases)
    {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(c.utf8, WideToUtf8(c.wide));
        EXPECT_EQ(c.wide, Utf8ToWide(c.utf8));
        char exact[16];
        ASSERT_EQ(!c.shiftJis.empty(), ToExactAnsi(c.wide.c_str(), exact, sizeof(exact)));
        if (c.shiftJis.empty())
        {
            // The lossy form still comes out, but never reads back as the name.
            EXPECT_NE(c.wide, ShiftJisToWide(WideToShiftJis(c.wide)));
            continue;
        }
        EXPECT_EQ(c.shiftJis, exact);
        EXPECT_EQ(c.shiftJis, WideToShiftJis(c.wide));
        EXPECT_EQ(c.wide, ShiftJisToWide(c.shiftJis));
        EXPECT_EQ(c.wide, AnsiToWide(c.shiftJis));
        EXPECT_EQ(c.wide, AnsiToWide(c.shiftJis.c_str()));
        EXPECT_EQ(c.utf8, ShiftJisToUtf8(c.shiftJis));
        EXPECT_EQ(c.shiftJis, Utf8ToShiftJis(c.utf8));
    }
}

TEST(TextConvert, ExactAnsiBufferCountsTheTerminator)
{
    char buffer[8];
    EXPECT_FALSE(ToExactAnsi(L"abcd", buffer, 4));
    EXPECT_FALSE(ToExactAnsi(L"表示", buffer, 4));
    EXPECT_TRUE(ToExactAnsi(L"表示", buffer, 5));
    EXPECT_FALSE(ToExactAnsi(L"", buffer, 0));
}
