#pragma once

#include "settings/FilterList.h"

#include <gtest/gtest.h>

// A filter definition as the editor would store it.
inline CFilterDef Definition(int type, const char* pattern, bool alphabetBS = false, bool regex = false)
{
    CFilterDef definition;
    definition.Type = type;
    definition.Filter = pattern;
    definition.AlphabetBS = alphabetBS;
    definition.Regex = regex;
    return definition;
}

// Every field of two lists, definition by definition.
inline void ExpectSameList(const CFilterList& expected, const CFilterList& actual)
{
    EXPECT_EQ(expected.Title, actual.Title);
    EXPECT_EQ(expected.Comment, actual.Comment);
    EXPECT_EQ(expected.ActType, actual.ActType);
    EXPECT_EQ(expected.GitIgnore, actual.GitIgnore);
    ASSERT_EQ(expected.Definitions.size(), actual.Definitions.size());
    for (size_t i = 0; i < expected.Definitions.size(); ++i)
    {
        EXPECT_EQ(expected.Definitions[i].Type, actual.Definitions[i].Type) << i;
        EXPECT_EQ(expected.Definitions[i].Filter, actual.Definitions[i].Filter) << i;
        EXPECT_EQ(expected.Definitions[i].Comment, actual.Definitions[i].Comment) << i;
        EXPECT_EQ(expected.Definitions[i].AlphabetBS, actual.Definitions[i].AlphabetBS) << i;
        EXPECT_EQ(expected.Definitions[i].Regex, actual.Definitions[i].Regex) << i;
    }
}
