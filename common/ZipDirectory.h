#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CByteFile;

// The one reader of a ZIP's directory, for everything that reads a ZIP
// without an archiver DLL: TessikZip's add, listing and check, the job's
// read back of Zip32j archives, the bridges' name check. It reads the
// directory by its stated size, checks every record and every entry's local
// header against the file, and gives each entry its extent, so that a
// writer can copy an old entry exactly and a checker never reads outside it.

// One entry: its directory record and where its bytes lie in the file.
// Offsets are the file's own, a self-extracting stub's bytes counted.
struct CZipEntry
{
    std::string name;  // bytes as stored
    unsigned flags = 0;
    unsigned method = 0;
    unsigned long crc = 0;
    ULONGLONG size = 0;      // uncompressed, from the ZIP64 field where escaped
    ULONGLONG packed = 0;    // compressed, from the ZIP64 field where escaped
    ULONGLONG recordAt = 0;  // of the central directory record
    ULONGLONG localAt = 0;   // of the local header
    ULONGLONG dataAt = 0;    // of the data, past the local name and extra field
    ULONGLONG endAt = 0;     // past the data and its data descriptor
    std::string record;      // the directory record as stored, name, extra and comment included
    std::string localExtra;  // the local header's extra field
    // The directory record's extra field.
    std::string Extra() const;
};

struct CZipArchive
{
    std::vector<CZipEntry> entries;  // in directory order
    ULONGLONG directoryAt = 0;
    ULONGLONG directorySize = 0;
    // Where the first entry starts: what stands before it is a
    // self-extracting program (or nothing).
    ULONGLONG firstEntryAt = 0;
    std::string comment;
};

// What a read found.
enum class EZipRead
{
    kRead,
    kNotZip,      // no end record at the end of the file
    kDamaged,     // a count, size, offset or header that does not agree
    kSplit,       // a part of a split set: the directory is read, the entries' bytes are elsewhere
    kUnreadable,  // the file could not be opened or read
};

// Reads the archive: on kRead every entry with its extent; on kSplit the
// entries of the directory without their extents (listing a split set's
// last part is fine, adding to it or checking it is not).
EZipRead ReadZipArchive(const CByteFile& file, CZipArchive* archive);
EZipRead ReadZipArchive(const std::wstring& path, CZipArchive* archive);
// The entries alone; false unless the read gave kRead.
bool ReadZipEntries(const std::wstring& path, std::vector<CZipEntry>* entries);

// Where the first extra field of that id starts in an extra block (at its
// id), npos when there is none or the block is malformed.
size_t FindZipExtraFieldAt(const std::string& extra, unsigned id);
// The data of that field; false when there is none.
bool FindZipExtraField(const std::string& extra, unsigned id, std::string* field);
// The name as a reader shows it: UTF-8 with the UTF-8 flag (bit 11), or
// without it when the bytes are UTF-8 (Info-ZIP on the host), else Shift_JIS.
std::wstring ZipEntryName(const CZipEntry& entry);
// A folder's entry: its name ends in a separator.
bool IsZipFolder(const CZipEntry& entry);
