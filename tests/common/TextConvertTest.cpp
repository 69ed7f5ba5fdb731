#include "common/TextConvert.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// One name in its three forms. exact is false where code page 932 has no form
// that converts back to the same characters; shiftJis is then not looked at.
struct CTextCase
{
    const char* label;
    std::wstring wide;
    bool exact;
    std::string shiftJis;
    std::string utf8;
};

const CTextCase kTextCases[] = {
    {"ascii", L"report-1.txt", true, "report-1.txt", "report-1.txt"},
    {"kana", L"ひらがなカタカナ", true, "\x82\xD0\x82\xE7\x82\xAA\x82\xC8\x83J\x83^\x83J\x83i",
     "\xE3\x81\xB2\xE3\x82\x89\xE3\x81\x8C\xE3\x81\xAA\xE3\x82\xAB\xE3\x82\xBF\xE3\x82\xAB\xE3\x83\x8A"},
    {"half-width katakana", L"ﾌｧｲﾙ", true, "\xCC\xA7\xB2\xD9",
     "\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99"},
    {"kanji with a backslash trail byte", L"表示", true, "\x95\x5C\x8E\xA6", "\xE8\xA1\xA8\xE7\xA4\xBA"},
    {"fullwidth tilde", L"\uFF5E", true, "\x81\x60", "\xEF\xBD\x9E"},
    // Code page 932 has no form of its own for U+301C; 0x81 0x60 reads back as U+FF5E.
    {"wave dash", L"\u301C", false, "", "\xE3\x80\x9C"},
    // Best-fit forms: the platform writes them without a default character,
    // only the way back shows that they name something else (0x5C for the yen
    // sign is even a separator).
    {"yen sign", L"\u00A5", false, "", "\xC2\xA5"},
    {"accented latin", L"caf\u00E9", false, "", "caf\xC3\xA9"},
    {"hangul", L"한국어", false, "", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"},
    {"surrogate pair", L"a\U0001F600", false, "", "a\xF0\x9F\x98\x80"},
};

}  // namespace

TEST(TextConvert, EveryFormOfEachName)
{
    for (const CTextCase& c : kTextCases)
    {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.utf8, WideToUtf8(c.wide));
        EXPECT_EQ(c.wide, Utf8ToWide(c.utf8));

        char exact[64];
        ASSERT_EQ(c.exact, ToExactAnsi(c.wide.c_str(), exact, sizeof(exact)));
        if (c.exact)
        {
            EXPECT_EQ(c.shiftJis, exact);
            EXPECT_EQ(c.shiftJis, WideToShiftJis(c.wide));
            EXPECT_EQ(c.wide, ShiftJisToWide(c.shiftJis));
            EXPECT_EQ(c.wide, AnsiToWide(c.shiftJis));
            EXPECT_EQ(c.wide, AnsiToWide(c.shiftJis.c_str()));
            EXPECT_EQ(c.utf8, ShiftJisToUtf8(c.shiftJis));
            EXPECT_EQ(c.shiftJis, Utf8ToShiftJis(c.utf8));
        }
        else
        {
            // The lossy form still comes out, but never reads back as the name.
            std::string lossy = WideToShiftJis(c.wide);
            EXPECT_FALSE(lossy.empty());
            EXPECT_NE(c.wide, ShiftJisToWide(lossy));
            EXPECT_EQ(lossy, Utf8ToShiftJis(c.utf8));
        }
    }
}

TEST(TextConvert, ExactAnsiBufferCountsTheTerminator)
{
    char buffer[8];
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_FALSE(ToExactAnsi(L"abcd", buffer, 4));
    EXPECT_TRUE(ToExactAnsi(L"abcd", buffer, 5));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_FALSE(ToExactAnsi(L"表示", buffer, 4));
    EXPECT_TRUE(ToExactAnsi(L"表示", buffer, 5));
    EXPECT_FALSE(ToExactAnsi(L"", buffer, 0));
}

TEST(TextConvert, StringFormsKeepNulsAndPointerFormsStopAtThem)
{
    std::string text("a\0b", 3);
    EXPECT_EQ(std::wstring(L"a\0b", 3), AnsiToWide(text));
    EXPECT_EQ(std::wstring(L"a\0b", 3), ShiftJisToWide(text));
    EXPECT_EQ(L"a", AnsiToWide(text.c_str()));
    EXPECT_EQ(L"", AnsiToWide(""));
    EXPECT_EQ("", WideToUtf8(L""));
}
