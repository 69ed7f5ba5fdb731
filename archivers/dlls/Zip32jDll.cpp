#include "archivers/dlls/Zip32jDll.h"

#include "common/ScopedHandle.h"

CZip32jDll::CZip32jDll()
    : CArchiverDll("Zip32j.dll", "Zip"), m_queryFunctionList(NULL), m_queryEncryption(NULL)
{
}

int CZip32jDll::Load()
{
    if (IsLoaded())
        return 1;
    // Zip32j.dll works through zip32.dll: without it the binding is useless.
    if (CScopedLibrary(LoadArchiverLibrary("zip32.dll")).Get() == NULL)
        return 0;

    const CEntry entries[] = {
        {"Zip", reinterpret_cast<FARPROC*>(&m_command)},
        {"ZipGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
        {"ZipQueryFunctionList", reinterpret_cast<FARPROC*>(&m_queryFunctionList)},
        {"ZipQueryEncryption", reinterpret_cast<FARPROC*>(&m_queryEncryption)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}

int CZip32jDll::QueryEncryption()
{
    if (!Load())
        return 0;
    int result = m_queryEncryption();
    Unload();
    return result;
}

int CZip32jDll::QueryFunctionList(int function)
{
    if (!Load())
        return 0;
    int result = m_queryFunctionList(function);
    Unload();
    return result;
}
