#include "filters/SimplePattern.h"

#include "filters/FilterMatch.h"
#include "settings/FilterList.h"
#include "tests/filters/FilterDefinition.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

std::wstring Wide(const std::string& ansi)
{
    int units = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, NULL, 0);
    std::wstring wide(units > 0 ? units : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], units);
    wide.resize(units > 0 ? units - 1 : 0);
    return wide;
}

// The UTF-16 expression the filter engine hands the library for a definition.
std::wstring ExpressionOf(const CFilterDef& definition)
{
    std::string expression;
    BuildFilterExpression(definition, &expression);
    return Wide(expression);
}

struct CPatternCase
{
    CFilterDef definition;
    bool simple;  // whether the fast matcher takes it over from the library
};

const CPatternCase kPatterns[] = {
    {Definition(kFilterTypeExtension, ".bak"), true},
    {Definition(kFilterTypeExtension, ".bak", true), true},
    {Definition(kFilterTypeExtension, ".~*"), true},
    {Definition(kFilterTypeExtension, ".$$$"), true},
    {Definition(kFilterTypeExtension, ".表"), true},
    {Definition(kFilterTypeFileName, "Thumbs.db"), true},
    {Definition(kFilterTypeFileName, "~$*"), true},
    {Definition(kFilterTypeFileName, "*.orig"), true},
    {Definition(kFilterTypeFileName, "*copy*"), true},
    {Definition(kFilterTypeFileName, "#*#"), true},
    {Definition(kFilterTypeFileName, "画像??.jpg"), true},
    {Definition(kFilterTypeFileName, "ソ*"), true},  // trail byte 0x5C, a backslash in ASCII
    {Definition(kFilterTypeFileName, "a?b"), true},
    {Definition(kFilterTypeFileName, "*"), true},
    {Definition(kFilterTypeFileName, "?"), true},
    {Definition(kFilterTypeFileName, "**"), true},
    {Definition(kFilterTypeFileName, "*.*"), true},
    {Definition(kFilterTypeFileName, "*a*"), true},
    {Definition(kFilterTypeFileName, "a*b*"), true},
    {Definition(kFilterTypeFileName, "*A*b", true), false},  // two runs that can backtrack
    {Definition(kFilterTypeFileName, "*a*b*c"), false},
    {Definition(kFilterTypeFileName, "x{2}(a|b)+[c]^"), true},  // all escaped
    {Definition(kFilterTypeFileName, "a b#c"), true},
    {Definition(kFilterTypeFileName, "Thumbs\\.db", false, true), true},
    {Definition(kFilterTypeFileName, "a.c", false, true), true},
    {Definition(kFilterTypeFileName, "[Aa]b", false, true), true},
    {Definition(kFilterTypeFileName, "[ab]", false, true), false},
    {Definition(kFilterTypeFileName, "[aA]", false, true), false},
    {Definition(kFilterTypeFileName, "\\d+", false, true), false},
    {Definition(kFilterTypeFileName, "a*", false, true), false},
    {Definition(kFilterTypeFileName, "a.*?b", false, true), false},
    {Definition(kFilterTypeFileName, "a.*+", false, true), false},
    {Definition(kFilterTypeFileName, "(a|b)", false, true), false},
    {Definition(kFilterTypeFileName, "^a$", false, true), false},
    {Definition(kFilterTypeFileName, "a.{2}", false, true), false},
    {Definition(kFilterTypeFileName, "\\.(swp|swo)", false, true), false},
};

// Every name up to four characters over letters of both cases, the pattern
// characters, a double-byte letter and some line and odd characters, plus a
// few long and real names.
std::vector<std::wstring> Names()
{
    const std::wstring alphabet = L"aAbB.*~$#c\x30BD\x753B\r\x2028";
    std::vector<std::wstring> names = {L"", std::wstring(L"a\0b", 3), L"Thumbs.db", L"THUMBS.DB", L"report copy.txt",
                                       L"~$draft.docx", L"#x#", L"\x753B\x50CF" L"12.jpg", L"a.bak", L"a.BAK", L".bak", L".BaK", L"x.orig",
                                       L"x{2}(a|b)+[c]^", L"a b#c", L".\x8868", L".$$$", L"\xD83D\xDE00.txt", std::wstring(300, L'a'),
                                       std::wstring(299, L'a') + L"b"};
    std::vector<std::wstring> level = {L""};
    for (int length = 1; length <= 4; ++length)
    {
        std::vector<std::wstring> next;
        for (const std::wstring& prefix : level)
            for (wchar_t c : alphabet)
                next.push_back(prefix + c);
        names.insert(names.end(), next.begin(), next.end());
        level.swap(next);
    }
    return names;
}

}  // namespace

TEST(SimplePattern, TakesOverOnlyTheWildcardLanguageWithOneBacktrackingRun)
{
    for (const CPatternCase& c : kPatterns)
    {
        std::wstring expression = ExpressionOf(c.definition);
        CSimplePattern pattern;
        EXPECT_EQ(c.simple, pattern.Parse(expression.data(), expression.data() + expression.size()))
            << c.definition.Filter;
    }
}

TEST(SimplePattern, DecidesEveryNameAsTheRegularExpressionLibrary)
{
    const std::vector<std::wstring> names = Names();
    int compared = 0;
    for (const CPatternCase& c : kPatterns)
    {
        std::wstring expression = ExpressionOf(c.definition);
        CSimplePattern pattern;
        if (!pattern.Parse(expression.data(), expression.data() + expression.size()))
            continue;
        boost::wregex library(expression, boost::regex_constants::perl);
        int matches = 0;
        for (const std::wstring& name : names)
        {
            const wchar_t* begin = name.data();
            const wchar_t* end = name.data() + name.size();
            bool expected = boost::regex_match(begin, end, library);
            ASSERT_EQ(expected, pattern.Match(begin, end))
                << c.definition.Filter << " on " << name.size() << " units starting "
                << (name.empty() ? 0 : static_cast<unsigned>(name[0]));
            matches += expected;
            ++compared;
        }
        // No pattern is compared on names it never takes.
        EXPECT_GT(matches, 0) << c.definition.Filter;
    }
    EXPECT_GT(compared, 0);
}
