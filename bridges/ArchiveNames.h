#pragma once

#include <string>
#include <vector>

// Reads the names an archive holds, to make sure the host tool packed every
// file it was given (zip and jlha pass over a file they cannot read with a
// warning and succeed).

enum EZipNames
{
    kZipNamesRead,
    kZipNamesBroken,
    kZipNamesUnchecked,  // ZIP64 directory: not read
};

// The names of a ZIP's central directory as stored (bytes). With markUtf8,
// entries whose names are not ASCII get the UTF-8 flag (bit 11) in the central
// directory and in their local headers: Info-ZIP on the host stores the
// host's UTF-8 names without it, so Windows readers would take them for the
// local code page.
EZipNames ReadZipNames(const std::wstring& path, bool markUtf8, std::vector<std::string>* names);

// The names of an LZH archive (header levels 0, 1, 2) as stored, folders
// joined with backslashes; false for a damaged header.
bool ReadLhaNames(const std::wstring& path, std::vector<std::string>* names);
bool ParseLhaNames(const std::string& bytes, std::vector<std::string>* names);
