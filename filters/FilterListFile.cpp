#include "filters/FilterListFile.h"

#include "common/PathUtil.h"
#include "settings/FileReplace.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"

#include <windows.h>

const char kFilterListFileSection[] = "FILTER_0";

int WriteFilterListFile(const char* path, const CFilterList& list)
{
    CIniFile target;
    bool accessible = target.Open(path, false, false);
    target.Close();
    if (!accessible)
        return 0;

    std::string successor;
    if (!CreateSiblingTempFile(path, &successor))
        return 0;
    if (GetPathType(path) == kPathFile && !CopyFileA(path, successor.c_str(), FALSE))
    {
        DeleteFileA(successor.c_str());
        return 0;
    }
    CIniFile ini;
    ini.Open(successor.c_str(), false, false);
    bool written = WriteFilterListSection(ini, kFilterListFileSection, list);
    // The profile functions may still hold the successor's text in memory.
    CIniFile::FlushProfileCache(successor.c_str());
    ini.Close();
    if (!written)
    {
        DeleteFileA(successor.c_str());
        return 0;
    }
    if (!ReplaceWithTempFile(successor.c_str(), path))
        return 0;
    CIniFile::FlushProfileCache(path);
    return 1;
}

int ReadFilterListFile(const char* path, CFilterList* list)
{
    CIniFile ini;
    // A name that is gone since the user picked it would read as an empty list
    // and could then replace the current one: it is refused like an unreadable file.
    if (!ini.Open(path, true, false) || GetPathType(path) != kPathFile)
    {
        ini.Close();
        return 0;
    }
    CIniFile::FlushProfileCache(path);
    *list = ReadFilterListSection(ini, kFilterListFileSection);
    ini.Close();
    return 1;
}

void ApplyImportedList(const CFilterList& imported, const CFilterImportChoice& choice, CFilterList* edited)
{
    if (choice.title)
        edited->Title = imported.Title;
    if (choice.comment)
        edited->Comment = imported.Comment;
    if (choice.replaceDefinitions)
        edited->Definitions = imported.Definitions;
    else
        edited->Definitions.insert(edited->Definitions.end(), imported.Definitions.begin(),
                                   imported.Definitions.end());
    // The switch is part of how the list acts, so it comes with the action.
    if (choice.action)
    {
        edited->ActType = imported.ActType;
        edited->GitIgnore = imported.GitIgnore;
    }
}
