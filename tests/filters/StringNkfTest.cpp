#include "filters/StringNkf.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::wstring ToWide(StringNkf* nkf, const char* text)
{
    const void* result = nkf->Convert(text);
    return result ? static_cast<const wchar_t*>(result) : L"(failed)";
}

std::string ToAnsi(StringNkf* nkf, const void* text)
{
    const void* result = nkf->Convert(text);
    return result ? static_cast<const char*>(result) : "(failed)";
}

// "表示abc" in the three encodings.
const char kShiftJis[] = "\x95\x5c\x8e\xa6" "abc";
const char kJis[] = "\x1b$BI=<(\x1b(B" "abc";
const char kEuc[] = "\xc9\xbd\xbc\xa8" "abc";
const wchar_t kUtf16[] = L"\x8868\x793a" L"abc";

}  // namespace

TEST(StringNkf, SettersAcceptTheirRangesAndKeepTheCodeOtherwise)
{
    StringNkf nkf;
    EXPECT_EQ(kNkfAutomatic, nkf.GetInputCode());
    EXPECT_EQ(kNkfAnsi, nkf.GetOutputCode());

    for (int code = 0; code <= 4; ++code)
    {
        EXPECT_EQ(1, nkf.SetInputCode(code));
        EXPECT_EQ(code, nkf.GetInputCode());
    }
    for (int code = 0; code <= 3; ++code)
    {
        EXPECT_EQ(1, nkf.SetOutputCode(code));
        EXPECT_EQ(code, nkf.GetOutputCode());
    }
    EXPECT_EQ(0, nkf.SetInputCode(5));
    EXPECT_EQ(0, nkf.SetInputCode(-1));
    EXPECT_EQ(kNkfAutomatic, nkf.GetInputCode());
    EXPECT_EQ(0, nkf.SetOutputCode(4));
    EXPECT_EQ(0, nkf.SetOutputCode(-1));
    EXPECT_EQ(kNkfUtf16, nkf.GetOutputCode());
}

TEST(StringNkf, AnsiAndUtf16GiveOneUnitPerCharacter)
{
    StringNkf nkf;
    ASSERT_EQ(1, nkf.SetInputCode(kNkfAnsi));
    ASSERT_EQ(1, nkf.SetOutputCode(kNkfUtf16));
    ASSERT_EQ(1, nkf.Begin());
    EXPECT_EQ(L"", ToWide(&nkf, ""));
    EXPECT_EQ(std::wstring(L"\x8868\x793a\x30bd"), ToWide(&nkf, "表示ソ"));
    EXPECT_EQ(std::wstring(kUtf16), ToWide(&nkf, kShiftJis));
    EXPECT_EQ(std::wstring(L"a\xff71.txt"), ToWide(&nkf, "a\xb1.txt"));  // half-width ｱ
    EXPECT_EQ(1, nkf.End());

    ASSERT_EQ(1, nkf.SetInputCode(kNkfUtf16));
    ASSERT_EQ(1, nkf.SetOutputCode(kNkfAnsi));
    EXPECT_EQ(kShiftJis, ToAnsi(&nkf, kUtf16));
    EXPECT_EQ("", ToAnsi(&nkf, L""));
}

TEST(StringNkf, JapaneseMailEncodingsToAnsi)
{
    struct CCase
    {
        int inputCode;
        const char* text;
    };
    const CCase kCases[] = {
        {kNkfJis, kJis},
        {kNkfEuc, kEuc},
        {kNkfAutomatic, kJis},
        {kNkfAutomatic, kEuc},
        {kNkfAutomatic, kShiftJis},
    };
    for (const CCase& c : kCases)
    {
        StringNkf nkf;
        ASSERT_EQ(1, nkf.SetInputCode(c.inputCode));
        ASSERT_EQ(1, nkf.Begin());
        EXPECT_EQ(kShiftJis, ToAnsi(&nkf, c.text)) << "input code " << c.inputCode;
        EXPECT_EQ("", ToAnsi(&nkf, "")) << "input code " << c.inputCode;
        nkf.End();
    }

    StringNkf toWide;
    ASSERT_EQ(1, toWide.SetInputCode(kNkfJis));
    ASSERT_EQ(1, toWide.SetOutputCode(kNkfUtf16));
    ASSERT_EQ(1, toWide.Begin());
    EXPECT_EQ(std::wstring(kUtf16), ToWide(&toWide, kJis));
}

TEST(StringNkf, AnsiToJapaneseMailEncodings)
{
    StringNkf nkf;
    ASSERT_EQ(1, nkf.SetInputCode(kNkfAnsi));
    ASSERT_EQ(1, nkf.SetOutputCode(kNkfJis));
    ASSERT_EQ(1, nkf.Begin());
    EXPECT_EQ(kJis, ToAnsi(&nkf, kShiftJis));
    EXPECT_EQ("abc", ToAnsi(&nkf, "abc"));
    nkf.End();

    ASSERT_EQ(1, nkf.SetOutputCode(kNkfEuc));
    ASSERT_EQ(1, nkf.Begin());
    EXPECT_EQ(kEuc, ToAnsi(&nkf, kShiftJis));
    nkf.End();
}
