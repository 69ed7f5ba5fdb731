#include "settings/FilterSettings.h"

#include "common/PathUtil.h"
#include "settings/IniText.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {

const char kFilterSection[] = "FILTER";
const DWORD kValueSize = 1024;
const char* const kDefinitionKeys[] = {"Filter%d_Type", "Filter%d_Filter", "Filter%d_AlphabetBS",
                                       "Filter%d_Regex", "Filter%d_Comment"};
const int kDefinitionKeyCount = 5;
// Absent in every file written before the switch existed, and kept absent
// while it is off, so that those files are written back as they were.
const char kGitIgnoreKey[] = "GitIgnore";

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

// A stored count larger than the data is honoured: the missing entries are
// appended empty, as the file says, so that the next save does not quietly
// shorten the user's lists. Only the empty tail is bounded, so that a damaged
// count (2147483647) cannot make the program build millions of entries: at most
// kMaxEmptyLists lists and, over the whole file, kMaxEmptyDefinitions
// definitions are made up beyond what the file holds. Entries the file holds
// are always read.
const int kMaxEmptyLists = 1024;
const int kMaxEmptyDefinitions = 65536;

// The count to load: the stored count, cut to what the file holds plus the
// allowed empty tail; *budget is what is left of that tail.
int BoundedCount(int stored, int present, int* budget)
{
    if (stored <= present)
        return stored < 0 ? 0 : stored;
    int extra = stored - present;
    if (extra > *budget)
        extra = *budget;
    *budget -= extra;
    return present + extra;
}

// How many of `stored` entries the file really holds: one past the highest
// index below `stored` that has data.
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

CFilterList ReadListSection(CIniFile& ini, const char* section, int* definitionBudget)
{
    CFilterList list;
    char value[kValueSize];
    if (ini.GetString(section, "Title", "", value, sizeof(value)) > 0)
        list.Title = value;
    if (ini.GetString(section, "Comment", "", value, sizeof(value)) > 0)
        list.Comment = value;
    if (ini.GetString(section, "ActType", "", value, sizeof(value)) > 0)
        list.ActType = ParseSettingInt(value);
    if (ini.GetString(section, kGitIgnoreKey, "", value, sizeof(value)) > 0)
        list.GitIgnore = ParseBool(value) != 0;
    if (ini.GetString(section, "FilterNum", "", value, sizeof(value)) > 0)
    {
        int stored = ParseSettingInt(value);
        int present = CountPresentDefinitions(ini, section, stored);
        int count = BoundedCount(stored, present, definitionBudget);
        for (int k = 0; k < present; ++k)
            list.Definitions.push_back(ReadDefinition(ini, section, k));
        // Beyond the highest index present no key exists: new definitions.
        list.Definitions.resize(count);
    }
    return list;
}

// The keys of one list section in the order they are written.
CIniText::CKeyValues ListSectionKeys(const CFilterList& list)
{
    int definitionCount = static_cast<int>(list.Definitions.size());
    CIniText::CKeyValues keys;
    keys.reserve(5 + kDefinitionKeyCount * definitionCount);
    keys.emplace_back("FilterNum", std::to_string(definitionCount));
    keys.emplace_back("Title", list.Title);
    keys.emplace_back("Comment", list.Comment);
    keys.emplace_back("ActType", std::to_string(list.ActType));
    if (list.GitIgnore)
        keys.emplace_back(kGitIgnoreKey, FormatBool(true));
    for (int k = 0; k < definitionCount; ++k)
    {
        const CFilterDef& definition = list.Definitions[k];
        keys.emplace_back(DefinitionKey(0, k), std::to_string(definition.Type));
        keys.emplace_back(DefinitionKey(1, k), definition.Filter);
        keys.emplace_back(DefinitionKey(2, k), FormatBool(definition.AlphabetBS));
        keys.emplace_back(DefinitionKey(3, k), FormatBool(definition.Regex));
        keys.emplace_back(DefinitionKey(4, k), definition.Comment);
    }
    return keys;
}

}  // namespace

void LoadFilterSettings(CIniFile& ini, CAppSetting* setting)
{
    char value[kValueSize];
    if (ini.GetString(kFilterSection, "FilterSw", "", value, sizeof(value)) > 0)
        setting->FilterSw = ParseBool(value) != 0;
    if (ini.GetString(kFilterSection, "ProfileNum", "", value, sizeof(value)) == 0)
        return;
    int stored = ParseSettingInt(value);
    int present = CountPresentLists(ini, stored);
    int listBudget = kMaxEmptyLists;
    int count = BoundedCount(stored, present, &listBudget);
    int definitionBudget = kMaxEmptyDefinitions;
    for (int n = 0; n < count; ++n)
        setting->FilterLists.push_back(n < present ? ReadListSection(ini, ListSectionName(n).c_str(), &definitionBudget)
                                                   : CFilterList());
}

CFilterList ReadFilterListSection(CIniFile& ini, const char* section)
{
    // A filter-list file comes from elsewhere: it gives the definitions it
    // holds, and a count beyond them adds no empty ones to the edited list.
    int noEmptyDefinitions = 0;
    return ReadListSection(ini, section, &noEmptyDefinitions);
}

bool WriteFilterListSection(CIniFile& ini, const char* section, const CFilterList& list)
{
    bool ok = true;
    for (const auto& key : ListSectionKeys(list))
        ok &= ini.WriteString(section, key.first.c_str(), key.second.c_str()) != FALSE;
    if (!list.GitIgnore)
        ini.DeleteKey(section, kGitIgnoreKey);
    // Definitions of a longer earlier list.
    for (int k = static_cast<int>(list.Definitions.size());; ++k)
    {
        int found = 0;
        for (int key = 0; key < kDefinitionKeyCount; ++key)
            found |= ini.DeleteKey(section, DefinitionKey(key, k).c_str());
        if (!found)
            break;
    }
    return ok;
}

// The list sections are edited in memory and written once: through the file,
// every key and every removal rewrote the whole file. Within a save whose
// writes are held already, they go into that held text.
bool SaveFilterSettings(CIniFile& ini, const CAppSetting& setting)
{
    bool holding = ini.IsHoldingWrites();
    if (!holding)
        ini.HoldWrites();
    bool ok = ini.WriteBool(kFilterSection, "FilterSw", setting.FilterSw) != FALSE;
    int listCount = static_cast<int>(setting.FilterLists.size());
    ok &= ini.WriteInt(kFilterSection, "ProfileNum", listCount) != FALSE;

    for (int n = 0; n < listCount; ++n)
    {
        const CFilterList& list = setting.FilterLists[n];
        std::string section = ListSectionName(n);
        int definitionCount = static_cast<int>(list.Definitions.size());
        ok &= ini.WriteKeys(section.c_str(), ListSectionKeys(list)) != FALSE;
        if (!list.GitIgnore)
            ini.DeleteKey(section.c_str(), kGitIgnoreKey);
        // Definitions of a longer earlier list.
        for (int k = definitionCount;; ++k)
        {
            int found = 0;
            for (int key = 0; key < kDefinitionKeyCount; ++key)
                found |= ini.DeleteKey(section.c_str(), DefinitionKey(key, k).c_str());
            if (!found)
                break;
        }
    }
    // Lists that were deleted since the last save.
    int m = listCount;
    while (ini.DeleteSection(ListSectionName(m).c_str()))
        ++m;

    // A list that could not be written fails the commit: here, or in the save
    // that holds the writes.
    if (!holding)
        ok &= ini.CommitWrites();
    return ok;
}
