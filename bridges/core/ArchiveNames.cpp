#include "bridges/core/ArchiveNames.h"

#include <windows.h>

#include <map>
#include <set>

std::wstring FoldName(const std::wstring& name)
{
    std::wstring folded = name;
    for (wchar_t& c : folded)
        if (c == L'/')
            c = L'\\';
    if (!folded.empty())
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

ENameCheck CompareArchiveNames(const std::vector<std::wstring>& before, const std::vector<std::wstring>& given,
                               const std::vector<std::wstring>& after, std::wstring* name)
{
    std::map<std::wstring, size_t> expected;
    std::set<std::wstring> givenKeys;
    for (const std::wstring& entry : given)
    {
        givenKeys.insert(FoldName(entry));
        ++expected[FoldName(entry)];
    }
    // An old entry of a name given again was replaced by this run.
    for (const std::wstring& entry : before)
        if (givenKeys.count(FoldName(entry)) == 0)
            ++expected[FoldName(entry)];
    std::map<std::wstring, size_t> stored;
    for (const std::wstring& entry : after)
    {
        std::wstring key = FoldName(entry);
        size_t count = ++stored[key];
        auto found = expected.find(key);
        *name = entry;
        if (found == expected.end())
            return kNamesExtra;
        if (count > found->second)
            return kNamesDoubled;
    }
    for (const std::vector<std::wstring>* list : {&given, &before})
    {
        for (const std::wstring& entry : *list)
        {
            std::wstring key = FoldName(entry);
            if (stored[key] < expected[key])
            {
                *name = entry;
                return kNamesMissing;
            }
        }
    }
    name->clear();
    return kNamesMatch;
}
