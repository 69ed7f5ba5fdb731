#include "archivers/dlls/SevenZipDll.h"

CSevenZipDll::CSevenZipDll() : CArchiverDll("7-Zip32.dll", "SevenZip")
{
}

int CSevenZipDll::Load()
{
    const CEntry entries[] = {
        {"SevenZip", reinterpret_cast<FARPROC*>(&m_command)},
        {"SevenZipGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}
