#pragma once

#include <windows.h>
#include <stddef.h>

#include <string>

// Holds at most one open registry key; every open or create releases the old one.
class CRegistryKey
{
public:
    CRegistryKey() : m_key(NULL) {}
    ~CRegistryKey() { Close(); }

    LONG Create(HKEY root, const char* subKey);
    // mode 1 opens with full access, anything else for reading.
    LONG Open(HKEY root, const char* subKey, int mode);
    LONG OpenFull(HKEY root, const char* subKey);
    // Wide text, for paths that may hold names beyond the ANSI code page (the
    // registry keeps every string wide). The read gives at most maxLength
    // characters; a longer value is not read. 1 on success, 0 otherwise.
    int ReadString(const char* valueName, std::wstring* text, size_t maxLength);
    int WriteString(const char* valueName, const std::wstring& text);
    static LONG DeleteKey(HKEY root, const char* subKey);
    LONG Close();

    bool IsOpen() const { return m_key != NULL; }

private:
    CRegistryKey(const CRegistryKey&);
    CRegistryKey& operator=(const CRegistryKey&);

    HKEY m_key;
};
