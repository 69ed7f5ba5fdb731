// The binding of Tessik7z.dll: its file name, its prefix and its required entries.
#include "archivers/dlls/Tessik7zDll.h"

CTessik7zDll::CTessik7zDll() : CArchiverDll("Tessik7z.dll", "Tessik7z")
{
}

int CTessik7zDll::Load()
{
    const CEntry entries[] = {
        {"Tessik7z", reinterpret_cast<FARPROC*>(&m_command)},
        {"Tessik7zGetVersion", reinterpret_cast<FARPROC*>(&m_version)},
    };
    return LoadWithEntries(entries, sizeof(entries) / sizeof(entries[0]));
}
