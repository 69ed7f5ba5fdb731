#pragma once

#include <windows.h>

class CIniFile;

// Section "T7Z" of the T7Z format (Tessik7z.dll). Each value has its switch
// of the DLL's command line; Solid and EncryptHeader are stored as 0 or 1.
struct CTessik7zSettings
{
    bool Use = true;
    int Level = 5;  // 0 (stored) to 9, as the DLL's own default
    bool Solid = true;
    int SolidBlock = 0;  // MiB of one solid block; 0: the DLL's default for the level
    int SolidFiles = 0;  // files of one solid block; 0: no limit
    int Threads = 0;     // 0: one per core
    bool EncryptHeader = false;  // the names too, for a job with a password
    WORD Version = 0;  // Tessik7z.dll version kept for the settings page, not stored
};

const int kTessik7zLowestLevel = 0;
const int kTessik7zHighestLevel = 9;
const int kTessik7zLargestSolidBlock = 1048576;  // MiB: 1 TiB, the DLL's limit
const int kTessik7zMostThreads = 1024;
const int kTessik7zMostSolidFiles = 2000000000;

extern CTessik7zSettings g_tessik7zSettings;

// A value the section holds out of its range, or a switch other than 0 or 1,
// leaves the field as it was: the DLL would refuse the switch it makes.
int ReadTessik7zSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteTessik7zSettings(CIniFile& ini);
