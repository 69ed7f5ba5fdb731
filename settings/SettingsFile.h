#pragma once

#include <string>

// "tessik.ini": read once at start-up, written once at the end of a run whose
// main dialog ended with 1. The format sections go through the bound format
// registry (SetSettingsFormats), which must be bound before either call.

// Reads the settings file into g_appSetting and sets g_loadedLayoutVersion.
// True when a file was found, its layout recognised and its version nonzero.
bool LoadSettings();

// Writes g_appSetting and every format section into *file, the settings file
// of this user. The new file is complete before it replaces the old one; false
// when any section could not be written or the file could not be replaced, and
// then the old file stays as it was. Saves of several instances run one at a
// time; a file held for a moment by another program is waited for.
bool SaveSettings(std::string* file);
