#pragma once

#include "archivers/dlls/ArchiverDll.h"

// Tessik7z.dll, the program's own 7z archiver, with TessikZip.dll's command
// language where it applies. Only the command and version entries are
// required; its listing, check and UTF-8 mode entries are the optional ones
// every binding finds by the prefix.
class CTessik7zDll : public CArchiverDll
{
public:
    CTessik7zDll();
    int Load() override;
};
