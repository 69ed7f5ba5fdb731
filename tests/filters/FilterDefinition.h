#pragma once

#include "settings/FilterList.h"

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
