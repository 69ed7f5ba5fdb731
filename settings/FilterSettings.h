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
