#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The settings file read once into memory, looked up with the results that
// GetPrivateProfileStringA gives on the same file. Every profile call opens
// and parses the file again (on Windows too), which made a file of 100 filter
// lists of 20 definitions, 10,000 keys, take seconds to read.
//
// The text is taken apart as the profile functions do it: in UTF-16 (a UTF-8
// or UTF-16 byte-order mark chooses the encoding, else the ANSI code page),
// lines end at CR or LF, each line by the rules of settings/IniSyntax.h, and
// the first section of a name (letter case ignored) is the only one looked
// at, its first key of a name the only one read.
class CIniReader
{
public:
    // False when the file cannot be read; the reader is then empty, as the
    // profile functions see a missing file.
    bool Load(const char* path);
    void SetBytes(const std::string& bytes);

    // As CIniFile::GetString through the profile functions: the value with
    // one pair of enclosing quotes removed, or the default, cut at whole
    // characters to size - 1 bytes; its length in bytes.
    DWORD GetString(const char* section, const char* key, const char* defaultText, char* buffer, DWORD size);

    // Section names in file order (duplicates included, empty ones left out),
    // and the names of the keys with "=" in the first section of that name
    // (the lines before the first header for ""), not comments; both end at an
    // empty name, as a list of NUL-terminated names does.
    std::vector<std::string> GetSectionNames() const;
    std::vector<std::string> GetKeyNames(const char* section);

private:
    struct CKey
    {
        std::wstring name;
        std::wstring value;
        bool hasValue;
    };
    struct CSection
    {
        std::wstring name;
        std::vector<CKey> keys;
        // Folded key name -> first key, made on the section's first lookup.
        std::unique_ptr<std::unordered_map<std::wstring, size_t>> index;
    };

    CSection* FindSection(const char* name);
    const CKey* FindKey(CSection& section, const char* name);

    std::vector<CSection> m_sections;
    std::unordered_map<std::wstring, size_t> m_firstSection;  // folded name -> first section
};
