#pragma once

// "tessik.ini": read once at start-up, written once at the end of a run whose
// main dialog ended with 1. The format sections go through the bound format
// registry (SetSettingsFormats), which must be bound before either call.

// Reads the settings file into g_appSetting and sets g_loadedLayoutVersion.
// True when a file was found, its layout recognised and its version nonzero.
bool LoadSettings();

// Writes g_appSetting and every format section. The new file is complete before
// it replaces the old one; when it cannot be written an error message names the
// file and the old file stays as it was. Always true.
bool SaveSettings();
