#pragma once

#include "settings/IniFile.h"

#include <string>

// Reads the keys of one section into a record: a key that is missing or empty
// leaves its field as it is.
class CSectionReader
{
public:
    CSectionReader(CIniFile& ini, const char* section) : m_ini(ini), m_section(section) {}

    // The value, or NULL when the key is missing or empty.
    const char* Get(const char* key);
    void Text(const char* key, std::string* field);
    void Bool(const char* key, bool* field);
    void Int(const char* key, int* field);
    void Unsigned(const char* key, unsigned* field);

private:
    CIniFile& m_ini;
    const char* m_section;
    char m_value[1024];  // values are at most 1023 characters
};
