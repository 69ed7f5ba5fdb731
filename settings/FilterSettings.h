#pragma once

#include "settings/AppSetting.h"
#include "settings/IniFile.h"

// Section "FILTER" (the switch and the number of lists) and one section
// "FILTER_<n>" per filter list.

// Sets FilterSw and appends the stored lists to setting->FilterLists.
void LoadFilterSettings(CIniFile& ini, CAppSetting* setting);

// Writes the switch and every list, then removes the keys of definitions and
// the sections of lists that no longer exist. False when a write failed.
bool SaveFilterSettings(CIniFile& ini, const CAppSetting& setting);

// One list section, as the settings file and a filter-list file hold it:
// missing keys leave the new-list and new-definition defaults.
CFilterList ReadFilterListSection(CIniFile& ini, const char* section);
// Writes the list into the section and removes the keys of definitions beyond
// its own. False when a write failed.
bool WriteFilterListSection(CIniFile& ini, const char* section, const CFilterList& list);
