#pragma once

#include "common/ZipDirectory.h"

#include <windows.h>

#include <string>
#include <vector>

// What the listing and check entries of the DLL read from a ZIP: the
// central directory's records with the fields INDIVIDUALINFO shows, and the
// check of every entry against its local header and data.

// One entry of the central directory.
struct CZipListedEntry
{
    CZipEntry record;  // name bytes, flags, size, offsets
    std::wstring name;  // as ZipEntryName reads it, with backslashes
    ULONGLONG packedSize = 0;
    unsigned long crc = 0;
    unsigned method = 0;        // as stored (99 for AES)
    unsigned actualMethod = 0;  // of the data: an AES entry's from its 0x9901 field
    unsigned aesStrength = 0;   // 1-3 for an AES entry, else 0
    unsigned aesVersion = 0;    // 1 (AE-1) or 2 (AE-2)
    WORD dosTime = 0;
    WORD dosDate = 0;
    DWORD attributes = 0;  // DOS attributes (the low byte of the external ones)
    bool folder = false;
    bool encrypted = false;  // flag bit 0
};

// False when the file is no ZIP or its central directory is damaged.
bool ReadZipListing(const std::wstring& path, std::vector<CZipListedEntry>* entries);

// The check's depth: the structure alone, or every entry's data too
// (inflated or read, its CRC and size compared).
enum class EZipCheck
{
    Structure,
    FullCrc,
};
// True when every entry's local header agrees with its central record, its
// data lies inside the file before the central directory and (FullCrc) the
// data gives its size and CRC. An encrypted entry is checked as far as no
// password is needed: its headers, its extent and the frame of its cipher.
bool CheckZipArchive(const std::wstring& path, EZipCheck depth);

// "*" and "?" of a wild name against an entry's name, without case; "*"
// spans separators, "/" and "\" are the same.
bool MatchesZipWildName(const std::wstring& wild, const std::wstring& name);
