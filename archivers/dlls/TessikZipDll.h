#pragma once

#include "archivers/dlls/ArchiverDll.h"

// TessikZip.dll, the program's own ZIP archiver (tessikzip/README.md). Only
// the command and version entries are required; its listing, check and UTF-8
// mode entries are the optional ones every binding finds by the prefix.
class CTessikZipDll : public CArchiverDll
{
public:
    CTessikZipDll();
    int Load() override;
};
