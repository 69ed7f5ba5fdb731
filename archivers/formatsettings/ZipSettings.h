#pragma once

#include <windows.h>

class CIniFile;

// Section "ZIP", shared by the Zip32j ZIP and self-extracting ZIP formats.
struct CZipSettings
{
    bool Use = true;
    int ZipMode = 6;
    bool Crlf2Lf = false;
    bool Lf2Crlf = false;
    WORD Version = 0;  // Zip32j.dll version kept for the settings page, not stored
};

extern CZipSettings g_zipSettings;

int ReadZipSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteZipSettings(CIniFile& ini);
