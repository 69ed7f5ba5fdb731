#pragma once

#include "archivers/dlls/ArchiverDll.h"

// 7-Zip32.dll: command entry SevenZip, version entry SevenZipGetVersion.
class CSevenZipDll : public CArchiverDll
{
public:
    CSevenZipDll();
    int Load() override;
};
