#pragma once

#include <string>
#include <vector>

// ZIP archives built byte by byte in a test, stored entries only, so that a
// row of a table can make any field say what it likes: the layout first
// (ZipBytesLayout), then its bytes (BuildZipBytes), then edits by offset.

struct CZipBytesEntry
{
    std::string name;
    std::string data;         // stored as it is
    bool descriptor = false;  // flag bit 3: zeros in the local header, a signed descriptor after the data
    bool zip64Offset = false;  // the record's offset escaped to a ZIP64 field
    std::string zip64Tail;    // bytes appended to that field (a field too long)
    std::string recordComment;
    // The record points here instead of at a local header of its own
    // (an entry inside another's data); -1: its own header.
    long long pointAt = -1;
};

struct CZipBytesLayout
{
    std::string stub;          // before the first entry
    bool stubCounted = true;   // the offsets count the stub (zip -A), else they start after it
    std::vector<CZipBytesEntry> entries;
    bool zip64 = false;        // a ZIP64 end record and its locator before the end record
    long long count = -1;      // the count both end records give; -1: the records'
    std::string comment;
};

// Where the parts of the built bytes lie.
struct CZipBytesMap
{
    std::vector<size_t> localAt;  // of each entry's local header
    std::vector<size_t> dataAt;
    std::vector<size_t> recordAt;  // of each directory record
    size_t directoryAt = 0;
    size_t endAt = 0;  // of the end record
};

std::string BuildZipBytes(const CZipBytesLayout& layout, CZipBytesMap* map = nullptr);
// The local header of an entry and its data, as BuildZipBytes writes it at
// offset 0 (for an entry that lies inside another's data).
std::string ZipLocalBytes(const CZipBytesEntry& entry);
void PutLittleEndian(std::string* bytes, size_t at, unsigned long long value, size_t width);
