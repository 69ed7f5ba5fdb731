#pragma once

#include <windows.h>

#include <string>

// The records of a ZIP archive as the writer puts them down, little-endian.

const ULONGLONG kZip32Limit = 0xFFFFFFFFULL;
const WORD kMethodStored = 0;
const WORD kMethodDeflated = 8;
const WORD kMethodAes = 99;
const WORD kFlagEncrypted = 0x0001;
const WORD kFlagDescriptor = 0x0008;
const WORD kFlagUtf8 = 0x0800;
const size_t kLocalHeaderSize = 30;
// Offsets in a local header of the fields the writer fills in afterwards.
const size_t kLocalCrcAt = 14;
const size_t kLocalPackedAt = 18;

void Put16(std::string* bytes, unsigned value);
void Put32(std::string* bytes, unsigned long value);
void Put64(std::string* bytes, ULONGLONG value);
void Set32(std::string* bytes, size_t at, unsigned long value);

// What one entry's headers say.
struct CZipRecord
{
    std::string name;  // bytes as stored, '/' between the parts
    WORD flags = 0;
    WORD method = kMethodStored;
    DWORD dosTime = 0;  // date in the high word
    DWORD crc = 0;
    ULONGLONG packed = 0;
    ULONGLONG size = 0;
    ULONGLONG localAt = 0;
    DWORD attributes = 0;  // DOS attributes
    FILETIME written = {};
    FILETIME accessed = {};
    FILETIME created = {};
    bool zip64Local = false;  // the local header carries the ZIP64 sizes
    std::string aesExtra;     // the 0x9901 field of an AES entry
};

// The DOS date and time of a file time, in local time as DOS kept it;
// 1980-01-01 for anything earlier.
DWORD DosTimeOf(const FILETIME& time);
// The local header; its CRC and sizes are what the record holds so far.
std::string LocalHeader(const CZipRecord& record);
// The sizes at the end of the data of an entry with flag bit 3.
std::string DataDescriptor(const CZipRecord& record);
// The central directory record.
std::string CentralRecord(const CZipRecord& record);
// The end of the archive: the ZIP64 end record and locator when the count or
// the directory needs them, then the end record.
std::string EndRecords(ULONGLONG entries, ULONGLONG directoryAt, ULONGLONG directorySize);
