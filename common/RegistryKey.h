#pragma once

#include <windows.h>
#include <stddef.h>

#include <string>

// Holds at most one open registry key; every open or create releases the old one.
// view (KEY_WOW64_64KEY or KEY_WOW64_32KEY) chooses the registry view of every
// key it opens, so a 32-bit program can write what a 64-bit one reads; 0 is the
// program's own view.
class CRegistryKey
{
public:
    explicit CRegistryKey(REGSAM view = 0) : m_key(NULL), m_view(view) {}
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
    static LONG DeleteKey(HKEY root, const char* subKey, REGSAM view = 0);
    LONG Close();

    bool IsOpen() const { return m_key != NULL; }

private:
    CRegistryKey(const CRegistryKey&);
    CRegistryKey& operator=(const CRegistryKey&);

    HKEY m_key;
    REGSAM m_view;
};
