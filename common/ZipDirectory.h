#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A ZIP's central directory, read without an archiver DLL: what the archive
// says it holds, for the archives whose DLL lists nothing (and for the
// bridges, which mend the flags Info-ZIP leaves out).

// One record of a ZIP's central directory.
struct CZipEntry
{
    std::string name;  // bytes as stored
    unsigned flags;
    ULONGLONG size;      // uncompressed, from the ZIP64 field where escaped
    ULONGLONG recordAt;  // of the central directory record
    ULONGLONG localAt;   // of the local header
    ULONGLONG packed;    // compressed, from the ZIP64 field where escaped
    std::string record;  // the directory record as stored, name, extra and comment included
};

// The central directory, found through the end record or the ZIP64 end
// record and its locator, also behind a self-extracting stub; false when
// damaged.
bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries);
// The same, with where the directory starts in the file (behind a stub too).
bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries, ULONGLONG* directoryAt);
// The name as a reader shows it: UTF-8 with the UTF-8 flag (bit 11), or
// without it when the bytes are UTF-8 (Info-ZIP on the host), else Shift_JIS.
std::wstring ZipEntryName(const CZipEntry& entry);
// A folder's entry: its name ends in a separator.
bool IsZipFolder(const CZipEntry& entry);
