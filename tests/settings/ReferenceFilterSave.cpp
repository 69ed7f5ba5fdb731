#include "tests/settings/ReferenceFilterSave.h"

#include <stdio.h>

#include <string>

namespace {

std::string Key(const char* format, int index)
{
    char key[48];
    snprintf(key, sizeof(key), format, index);
    return key;
}

}  // namespace

void ReferenceSaveFilterSettings(CIniFile& ini, const CAppSetting& setting)
{
    static const char* const kKeys[] = {"Filter%d_Type", "Filter%d_Filter", "Filter%d_AlphabetBS", "Filter%d_Regex",
                                        "Filter%d_Comment"};
    ini.WriteBool("FILTER", "FilterSw", setting.FilterSw);
    int listCount = static_cast<int>(setting.FilterLists.size());
    ini.WriteInt("FILTER", "ProfileNum", listCount);
    for (int n = 0; n < listCount; ++n)
    {
        const CFilterList& list = setting.FilterLists[n];
        std::string section = Key("FILTER_%d", n);
        const char* name = section.c_str();
        int count = static_cast<int>(list.Definitions.size());
        ini.WriteInt(name, "FilterNum", count);
        ini.WriteString(name, "Title", list.Title.c_str());
        ini.WriteString(name, "Comment", list.Comment.c_str());
        ini.WriteInt(name, "ActType", list.ActType);
        if (list.GitIgnore)
            ini.WriteString(name, "GitIgnore", "true");
        else
            ini.DeleteKey(name, "GitIgnore");
        for (int k = 0; k < count; ++k)
        {
            const CFilterDef& definition = list.Definitions[k];
            ini.WriteInt(name, Key(kKeys[0], k).c_str(), definition.Type);
            ini.WriteString(name, Key(kKeys[1], k).c_str(), definition.Filter.c_str());
            ini.WriteBool(name, Key(kKeys[2], k).c_str(), definition.AlphabetBS);
            ini.WriteBool(name, Key(kKeys[3], k).c_str(), definition.Regex);
            ini.WriteString(name, Key(kKeys[4], k).c_str(), definition.Comment.c_str());
        }
        for (int k = count;; ++k)
        {
            int found = 0;
            for (const char* key : kKeys)
                found |= ini.DeleteKey(name, Key(key, k).c_str());
            if (!found)
                break;
        }
    }
    for (int m = listCount; ini.DeleteSection(Key("FILTER_%d", m).c_str()); ++m)
    {
    }
    CIniFile::FlushProfileCache(ini.GetPath());
}
