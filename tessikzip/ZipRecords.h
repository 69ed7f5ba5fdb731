#pragma once

#include "common/ZipFormat.h"

#include <windows.h>

#include <string>

// The records of a ZIP archive as the writer puts them down, little-endian.

using zipformat::kFlagDescriptor;
using zipformat::kFlagEncrypted;
using zipformat::kFlagUtf8;
using zipformat::kLocalCrcAt;
using zipformat::kLocalHeaderSize;
using zipformat::kLocalPackedAt;
using zipformat::kMethodAes;
using zipformat::kMethodDeflated;
using zipformat::kMethodStored;
const ULONGLONG kZip32Limit = zipformat::kEscape32;

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
// the directory needs them, then
// the end record, which carries the archive's comment.
std::string EndRecords(ULONGLONG entries, ULONGLONG directoryAt, ULONGLONG directorySize, const std::string& comment);
