#include "archivers/dlls/ArchiverDll.h"

#include <string.h>

CArchiverDll::CArchiverDll(const char* dllName) : m_module(NULL), m_dllName(dllName)
{
    ForgetEntries();
}

CArchiverDll::~CArchiverDll()
{
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
    return 1;
}

int CArchiverDll::CheckArchive(const char* fileName, int mode)
{
    if (!Load() || m_checkArchive == NULL)
        return 0;
    return m_checkArchive(fileName, mode);
}

int CArchiverDll::Unload()
{
    if (m_module == NULL)
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
