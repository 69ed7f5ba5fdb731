#pragma once

#include <windows.h>

class CIniFile;

// Section "LHA", shared by the LHA and self-extracting LHA formats.
struct CLhaSettings
{
    bool Use = true;
    int LhaMode = 0;  // 0 LH5, 1 LH6, 2 LH7
    int SfxMode = 2;  // 0 DOS, 1 Windows 3.x, 2 Win32, 3 Win32 extended
    bool SfxSetup = false;
    WORD Version = 0;  // Unlha32.dll version kept for the settings page, not stored
};

extern CLhaSettings g_lhaSettings;

int ReadLhaSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteLhaSettings(CIniFile& ini);
