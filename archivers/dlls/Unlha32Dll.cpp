#include "archivers/dlls/Unlha32Dll.h"

CUnlha32Dll::CUnlha32Dll() : CArchiverDll("Unlha32.dll", "Unlha")
{
}

int CUnlha32Dll::Load()
{
    const CEntry entries[] = {
        {"Unlha", reinterpret_cast<FARPROC*>(&m_command)},
        {"UnlhaGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
        {"UnlhaOpenArchive", reinterpret_cast<FARPROC*>(&m_openArchive)},
        {"UnlhaCloseArchive", reinterpret_cast<FARPROC*>(&m_closeArchive)},
        {"UnlhaIsSFXFile", reinterpret_cast<FARPROC*>(&m_isSfxFile)},
        {"UnlhaCheckArchive", reinterpret_cast<FARPROC*>(&m_checkArchive)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}
