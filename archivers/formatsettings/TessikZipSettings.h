#pragma once

#include <windows.h>

class CIniFile;

// What the entries of a TZIP archive are made with; each value has its switch
// of TessikZip.dll's command line (tessikzip/README.md).
enum class ETessikZipMethod
{
    Deflate,
    Store,
};

// Used only when the job has a password.
enum class ETessikZipEncryption
{
    Aes,        // AES-256 (WinZip AE-2); Windows Explorer cannot open it
    ZipCrypto,  // what Windows Explorer and older readers open
};

enum class ETessikZipNames
{
    Utf8,
    ShiftJis,  // when every name has a Shift_JIS form; the DLL falls back to UTF-8
};

// Section "TZIP" of the TZIP format (TessikZip.dll).
struct CTessikZipSettings
{
    bool Use = true;
    int Level = 6;  // 0 (stored) to 9, as the DLL's own default
    ETessikZipMethod Method = ETessikZipMethod::Deflate;
    ETessikZipEncryption Encryption = ETessikZipEncryption::Aes;
    ETessikZipNames Names = ETessikZipNames::Utf8;
    int Threads = 0;  // 0: one per core
    WORD Version = 0;  // TessikZip.dll version kept for the settings page, not stored
};

const int kTessikZipLowestLevel = 0;
const int kTessikZipHighestLevel = 9;
const int kTessikZipMostThreads = 1024;

extern CTessikZipSettings g_tessikZipSettings;

// A value the section holds out of its range, or a name it does not know,
// leaves the field as it was: the DLL would refuse the switch it makes.
int ReadTessikZipSettings(int layoutVersion, const char* iniPath);
// Into the settings save's file, which holds the writes.
int WriteTessikZipSettings(CIniFile& ini);
