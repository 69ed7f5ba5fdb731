#pragma once

#include <windows.h>

class CIniFile;

// Section "CAB", shared by the CAB and self-extracting CAB formats.
struct CCabSettings
{
    bool Use = true;
    int CabMode = 1;  // 0 none, 1 MSZIP, 2 LZX
    int LzxLevel = 15;
    bool MultiVolume = false;
    int MultiVolumeSize = 1423;
    WORD Version = 0;  // Cab32.dll version kept for the settings page, not stored
};

extern CCabSettings g_cabSettings;

int ReadCabSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteCabSettings(CIniFile& ini);
