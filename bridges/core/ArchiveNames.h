#pragma once

#include "common/ZipDirectory.h"

#include <windows.h>

#include <string>
#include <vector>

// Reads the names an archive holds, to make sure the host tool packed every
// file it was given and nothing else: zip and jlha pass over a file they
// cannot read with a warning and succeed, and a tool run that starts a new
// archive instead of adding to it loses what came before.

// The names of the files (not folders) of the entries.
bool ZipFileNames(const std::vector<CZipEntry>& entries, std::vector<std::wstring>* names);
// Not ASCII and without the UTF-8 flag.
bool NeedsUtf8Flag(const CZipEntry& entry);
// Sets the UTF-8 flag of these entries in their local headers and directory
// records: Info-ZIP on the host stores the host's UTF-8 names without it, so
// Windows readers would take them for the local code page.
bool SetZipUtf8Flag(const std::wstring& path, const std::vector<CZipEntry>& entries);

// One entry of an archive as a listing shows it: the name as stored (its
// separators too), the original size, and whether it is a folder record.
struct CArchiveEntry
{
    std::wstring name;
    ULONGLONG size = 0;
    bool folder = false;
};

// The names of a cabinet's file records.
bool ReadCabNames(const std::wstring& path, std::vector<std::wstring>* names);
// Its file records with their sizes (a cabinet has no folder records).
bool ReadCabEntries(const std::wstring& path, std::vector<CArchiveEntry>* entries);
// The files (not folders) of "7zz l -slt -ba -sccUTF-8" output.
bool ParseSevenZipListing(const std::string& utf8, std::vector<std::wstring>* names);
// Every entry of that output, folders too, with the host's "/" separators.
bool ParseSevenZipEntries(const std::string& utf8, std::vector<CArchiveEntry>* entries);

// The names of an LZH archive (header levels 0, 1, 2) as stored, folders
// joined with backslashes; false for a damaged header.
bool ReadLhaNames(const std::wstring& path, std::vector<std::string>* names);
bool ParseLhaNames(const std::string& bytes, std::vector<std::string>* names);
// Every header of an LZH archive, folders too, its Shift_JIS names decoded.
bool ReadLhaEntries(const std::wstring& path, std::vector<CArchiveEntry>* entries);

// Names compared as Windows readers compare them when they extract: without
// regard to case (the file systems they write to ignore it, so two entries
// that differ only in case overwrite each other), either separator.
std::wstring FoldName(const std::wstring& name);

enum ENameCheck
{
    kNamesMatch,
    kNamesMissing,  // a given name, or an old entry not given again, is not there
    kNamesExtra,    // an entry that was neither there nor given
    kNamesDoubled,  // a name stored more often than it should be
};
// The archive after the run must hold the old entries that no given name
// replaces and each given name once; *name is the first that differs.
ENameCheck CompareArchiveNames(const std::vector<std::wstring>& before, const std::vector<std::wstring>& given,
                               const std::vector<std::wstring>& after, std::wstring* name);
