#include "settings/FilterSettings.h"

#include "common/PathUtil.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char kFilterSection[] = "FILTER";
const DWORD kValueSize = 1024;
const char* const kDefinitionKeys[] = {"Filter%d_Type", "Filter%d_Filter", "Filter%d_AlphabetBS",
                                       "Filter%d_Regex", "Filter%d_Comment"};
const int kDefinitionKeyCount = 5;

std::string ListSectionName(int index)
{
    char name[32];
    snprintf(name, sizeof(name), "%s_%d", kFilterSection, index);
    return name;
}

std::string DefinitionKey(int keyIndex, int definition)
{
    char key[48];
    snprintf(key, sizeof(key), kDefinitionKeys[keyIndex], definition);
    return key;
}

// The number after a prefix (letter case ignored, as the profile functions do),
// written as the program writes it; -1 for any other text. *rest gets what
// follows the digits.
int ParseIndexAfter(const std::string& name, const char* prefix, const char** rest)
{
    size_t prefixLength = strlen(prefix);
    if (name.size() <= prefixLength || _strnicmp(name.c_str(), prefix, prefixLength) != 0)
        return -1;
    const char* digits = name.c_str() + prefixLength;
    const char* p = digits;
    long long value = 0;
    while (*p >= '0' && *p <= '9' && value <= 0x7FFFFFFF)
        value = value * 10 + (*p++ - '0');
    if (p == digits || value > 0x7FFFFFFF || (digits[0] == '0' && p - digits > 1))
        return -1;
    *rest = p;
    return static_cast<int>(value);
}

// How many of `stored` entries the file really holds: one past the highest
// index below `stored` that has data. A count larger than the data (a damaged
// file) must not make the program build millions of empty entries.
int CountPresentLists(CIniFile& ini, int stored)
{
    int count = 0;
    for (const std::string& name : ini.GetSectionNames())
    {
        const char* rest = NULL;
        int index = ParseIndexAfter(name, "FILTER_", &rest);
        if (index >= 0 && *rest == '\0' && index < stored && index + 1 > count)
            count = index + 1;
    }
    return count;
}

int CountPresentDefinitions(CIniFile& ini, const char* section, int stored)
{
    static const char* const kSuffixes[] = {"_Type", "_Filter", "_AlphabetBS", "_Regex", "_Comment"};
    int count = 0;
    for (const std::string& key : ini.GetKeyNames(section))
    {
        const char* rest = NULL;
        int index = ParseIndexAfter(key, "Filter", &rest);
        if (index < 0 || index >= stored || index + 1 <= count)
            continue;
        for (const char* suffix : kSuffixes)
        {
            if (lstrcmpiA(rest, suffix) == 0)
            {
                count = index + 1;
                break;
            }
        }
    }
    return count;
}

CFilterDef ReadDefinition(CIniFile& ini, const char* section, int index)
{
    CFilterDef definition;
    char value[kValueSize];
    if (ini.GetString(section, DefinitionKey(0, index).c_str(), "", value, sizeof(value)) > 0)
        definition.Type = ParseSettingInt(value);
    if (ini.GetString(section, DefinitionKey(1, index).c_str(), "", value, sizeof(value)) > 0)
        definition.Filter = value;
    if (ini.GetString(section, DefinitionKey(2, index).c_str(), "", value, sizeof(value)) > 0)
        definition.AlphabetBS = ParseBool(value) != 0;
    if (ini.GetString(section, DefinitionKey(3, index).c_str(), "", value, sizeof(value)) > 0)
        definition.Regex = ParseBool(value) != 0;
    if (ini.GetString(section, DefinitionKey(4, index).c_str(), "", value, sizeof(value)) > 0)
        definition.Comment = value;
    return definition;
}

}  // namespace

CFilterList ReadFilterListSection(CIniFile& ini, const char* section)
{
    CFilterList list;
    char value[kValueSize];
    if (ini.GetString(section, "Title", "", value, sizeof(value)) > 0)
        list.Title = value;
    if (ini.GetString(section, "Comment", "", value, sizeof(value)) > 0)
        list.Comment = value;
    if (ini.GetString(section, "ActType", "", value, sizeof(value)) > 0)
        list.ActType = ParseSettingInt(value);
    if (ini.GetString(section, "FilterNum", "", value, sizeof(value)) > 0)
    {
        int count = CountPresentDefinitions(ini, section, ParseSettingInt(value));
        for (int k = 0; k < count; ++k)
            list.Definitions.push_back(ReadDefinition(ini, section, k));
    }
    return list;
}

void LoadFilterSettings(CIniFile& ini, CAppSetting* setting)
{
    char value[kValueSize];
    if (ini.GetString(kFilterSection, "FilterSw", "", value, sizeof(value)) > 0)
        setting->FilterSw = ParseBool(value) != 0;
    if (ini.GetString(kFilterSection, "ProfileNum", "", value, sizeof(value)) == 0)
        return;
    int count = CountPresentLists(ini, ParseSettingInt(value));
    for (int n = 0; n < count; ++n)
        setting->FilterLists.push_back(ReadFilterListSection(ini, ListSectionName(n).c_str()));
}

bool WriteFilterListSection(CIniFile& ini, const char* name, const CFilterList& list)
{
    bool ok = true;
    int definitionCount = static_cast<int>(list.Definitions.size());
    ok &= ini.WriteInt(name, "FilterNum", definitionCount) != FALSE;
    ok &= ini.WriteString(name, "Title", list.Title.c_str()) != FALSE;
    ok &= ini.WriteString(name, "Comment", list.Comment.c_str()) != FALSE;
    ok &= ini.WriteInt(name, "ActType", list.ActType) != FALSE;
    for (int k = 0; k < definitionCount; ++k)
    {
        const CFilterDef& definition = list.Definitions[k];
        ok &= ini.WriteInt(name, DefinitionKey(0, k).c_str(), definition.Type) != FALSE;
        ok &= ini.WriteString(name, DefinitionKey(1, k).c_str(), definition.Filter.c_str()) != FALSE;
        ok &= ini.WriteBool(name, DefinitionKey(2, k).c_str(), definition.AlphabetBS) != FALSE;
        ok &= ini.WriteBool(name, DefinitionKey(3, k).c_str(), definition.Regex) != FALSE;
        ok &= ini.WriteString(name, DefinitionKey(4, k).c_str(), definition.Comment.c_str()) != FALSE;
    }
    // Definitions of a longer earlier list.
    for (int k = definitionCount;; ++k)
    {
        int found = 0;
        for (int key = 0; key < kDefinitionKeyCount; ++key)
            found |= ini.DeleteKey(name, DefinitionKey(key, k).c_str());
        if (!found)
            break;
    }
    return ok;
}

bool SaveFilterSettings(CIniFile& ini, const CAppSetting& setting)
{
    bool ok = ini.WriteBool(kFilterSection, "FilterSw", setting.FilterSw) != FALSE;
    int listCount = static_cast<int>(setting.FilterLists.size());
    ok &= ini.WriteInt(kFilterSection, "ProfileNum", listCount) != FALSE;

    for (int n = 0; n < listCount; ++n)
    {
        ok &= WriteFilterListSection(ini, ListSectionName(n).c_str(), setting.FilterLists[n]);
    }
    // Lists that were deleted since the last save.
    int m = listCount;
    while (ini.DeleteSection(ListSectionName(m).c_str()))
        ++m;
    return ok;
}
