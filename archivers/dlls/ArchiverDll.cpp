#include "archivers/dlls/ArchiverDll.h"

#include <string.h>

CArchiverDll::CArchiverDll(const char* dllName, const char* unicodeModeEntry)
    : m_module(NULL), m_dllName(dllName), m_unicodeModeEntry(unicodeModeEntry), m_unicodeModeOn(false)
{
    ForgetEntries();
}

CArchiverDll::~CArchiverDll()
{
    SetUnicodeMode(false);
    Unload();
}

void CArchiverDll::ForgetEntries()
{
    m_command = NULL;
    m_version = NULL;
    m_openArchive = NULL;
    m_closeArchive = NULL;
    m_isSfxFile = NULL;
    m_checkArchive = NULL;
    m_setUnicodeMode = NULL;
}

int CArchiverDll::LoadWithEntries(const CEntry* entries, size_t count)
{
    if (m_module != NULL)
        return 1;
    m_module = LoadLibraryA(m_dllName);
    if (m_module == NULL)
        return 0;
    for (size_t i = 0; i < count; ++i)
    {
        *entries[i].slot = GetProcAddress(m_module, entries[i].name);
        if (*entries[i].slot == NULL)
        {
            Unload();
            return 0;
        }
    }
    m_setUnicodeMode = reinterpret_cast<ArchiverSetUnicodeMode*>(GetProcAddress(m_module, m_unicodeModeEntry));
    return 1;
}

int CArchiverDll::SetUnicodeMode(bool on)
{
    if (!on)
    {
        if (!m_unicodeModeOn)
            return 1;
        m_unicodeModeOn = false;
        int result = m_setUnicodeMode(FALSE) ? 1 : 0;
        Unload();
        return result;
    }
    if (!Load())
        return 0;
    m_unicodeModeOn = m_setUnicodeMode != NULL && m_setUnicodeMode(TRUE) != FALSE;
    if (!m_unicodeModeOn)
        Unload();
    return m_unicodeModeOn ? 1 : 0;
}

int CArchiverDll::CheckArchive(const char* fileName, int mode)
{
    if (!Load() || m_checkArchive == NULL)
        return 0;
    return m_checkArchive(fileName, mode);
}

int CArchiverDll::Unload()
{
    if (m_module == NULL || m_unicodeModeOn)
        return 0;
    int result = FreeLibrary(m_module);
    m_module = NULL;
    ForgetEntries();
    return result;
}

int CArchiverDll::Command(HWND window, const char* commandLine, char* output, DWORD outputSize)
{
    if (!Load())
        return -1;
    return m_command(window, commandLine, output, outputSize);
}

WORD CArchiverDll::GetVersion()
{
    if (!Load())
        return 0;
    return m_version();
}

int CArchiverDll::GetDllName(char* buffer, size_t size) const
{
    size_t length = strlen(m_dllName);
    if (size <= length)
        return 0;
    memcpy(buffer, m_dllName, length + 1);
    return 1;
}
