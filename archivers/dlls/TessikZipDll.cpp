#include "archivers/dlls/TessikZipDll.h"

CTessikZipDll::CTessikZipDll() : CArchiverDll("TessikZip.dll", "TessikZip")
{
}

int CTessikZipDll::Load()
{
    const CEntry entries[] = {
        {"TessikZip", reinterpret_cast<FARPROC*>(&m_command)},
        {"TessikZipGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}
