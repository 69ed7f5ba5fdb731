#include "filters/FilterMatch.h"
#include "filters/WildcardToRegex.h"
#include "settings/FilterList.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct CTranslation
{
    const char* input;
    const char* expected;
};

// Double-byte characters whose second byte is a character with a meaning of its
// own: 表 ends in "\", ー in "[", ポ in "|", ア in "A", Ｂ in "a".
const CTranslation kWildcards[] = {
    {"*.Txt", ".*\\.Txt"},
    {"a?c", "a.c"},
    {"$()+-.[\\]^{|}", "\\$\\(\\)\\+\\-\\.\\[\\\\\\]\\^\\{\\|\\}"},
    {"a b#c,d!e%f&g'h@i_j~k=l;m", "a b#c,d!e%f&g'h@i_j~k=l;m"},
    {"表*.txt", "表.*\\.txt"},
    {"ー|ポ", "ー\\|ポ"},
    {"", ""},
    // A lead byte with nothing after it is copied alone.
    {"a\x81", "a\x81"},
};

}  // namespace

TEST(WildcardToRegex, TranslatesEveryByteClass)
{
    for (const CTranslation& t : kWildcards)
    {
        std::string regex = "prefix:";
        EXPECT_EQ(1, WildcardToRegex(t.input, &regex));
        EXPECT_EQ(std::string("prefix:") + t.expected, regex) << "pattern " << t.input;
    }
}

TEST(FoldAlphabetCase, BracketsHalfWidthLettersOnly)
{
    const CTranslation kFolds[] = {
        {"aZ", "[Aa][Zz]"},
        {"\\.[0-9]", "\\.[0-9]"},
        // Full-width letters and second bytes that look like letters stay.
        {"アＢ", "アＢ"},
        {"xアy", "[Xx]ア[Yy]"},
        {"@[`{", "@[`{"},
    };
    for (const CTranslation& t : kFolds)
    {
        std::string folded;
        EXPECT_EQ(1, FoldAlphabetCase(t.input, &folded));
        EXPECT_EQ(t.expected, folded) << "text " << t.input;
    }
}

TEST(BuildFilterExpression, WorkedExamples)
{
    struct CExample
    {
        const char* pattern;
        bool alphabetBS;
        bool regex;
        const char* expected;
    };
    const CExample kExamples[] = {
        {"*.Txt", false, false, ".*\\.[Tt][Xx][Tt]"},
        {"*.Txt", true, false, ".*\\.Txt"},
        {"a+b(1).txt", false, false, "[Aa]\\+[Bb]\\(1\\)\\.[Tt][Xx][Tt]"},
        {".*", false, false, "\\..*"},
        {".*", true, false, "\\..*"},
        {"[0-9]+\\.log", false, true, "[0-9]+\\.log"},
        // A regular expression is taken as written, also with AlphabetBS set.
        {"[a-z]+\\.TXT", true, true, "[a-z]+\\.TXT"},
        {"ア*", false, false, "ア.*"},
    };
    for (const CExample& e : kExamples)
    {
        CFilterDef definition;
        definition.Filter = e.pattern;
        definition.AlphabetBS = e.alphabetBS;
        definition.Regex = e.regex;
        std::string expression;
        EXPECT_EQ(1, BuildFilterExpression(definition, &expression));
        EXPECT_EQ(e.expected, expression)
            << "pattern " << e.pattern << " AlphabetBS " << e.alphabetBS << " Regex " << e.regex;
    }
}
