#pragma once

#include "settings/AppSetting.h"
#include "settings/IniFile.h"

// The filter sections saved key by key through the profile functions, with a
// file rewrite for every removal: the slow save whose bytes the in-memory save
// must give, kept here as the yardstick.
void ReferenceSaveFilterSettings(CIniFile& ini, const CAppSetting& setting);
