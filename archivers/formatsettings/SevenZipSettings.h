#pragma once

#include <windows.h>

class CIniFile;

#include <string>

// Section "7-ZIP", shared by the 7z, 7z self-extracting and 7-Zip32 ZIP formats.
struct CSevenZipSettings
{
    bool Use = true;
    int SevenZipMode = 5;
    std::string SevenZipAlgorithm = "Deflate";
    unsigned SevenZipFastBytes = 32;
    unsigned SevenZipPasses = 1;
    int SevenZMode = 5;
    bool SevenZSolid = true;
    bool SevenZFilter = true;
    bool SevenZHeaderComp = true;
    bool SevenZHeaderCompFull = true;
    bool SevenZHeaderCrypt = false;
    std::string SevenZAlgorithm = "LZMA";
    std::string SevenZSfx = "7z.sfx";
    bool SevenZCompCommandUse = false;
    std::string SevenZCompCommand;
    WORD Version = 0;  // 7-Zip32.dll version kept for the settings page, not stored
};

extern CSevenZipSettings g_sevenZipSettings;

int ReadSevenZipSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteSevenZipSettings(CIniFile& ini);
