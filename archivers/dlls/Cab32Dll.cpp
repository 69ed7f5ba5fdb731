#include "archivers/dlls/Cab32Dll.h"

CCab32Dll::CCab32Dll() : CArchiverDll("Cab32.dll", "Cab")
{
}

int CCab32Dll::Load()
{
    const CEntry entries[] = {
        {"Cab", reinterpret_cast<FARPROC*>(&m_command)},
        {"CabGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
        {"CabOpenArchive", reinterpret_cast<FARPROC*>(&m_openArchive)},
        {"CabCloseArchive", reinterpret_cast<FARPROC*>(&m_closeArchive)},
        {"CabIsSFXFile", reinterpret_cast<FARPROC*>(&m_isSfxFile)},
        {"CabCheckArchive", reinterpret_cast<FARPROC*>(&m_checkArchive)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}
