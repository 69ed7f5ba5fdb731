#pragma once

#include "archivers/dlls/ArchiverDll.h"

// Unlha32.dll. The archive-handle entries are required although only the
// command and version entries are called.
class CUnlha32Dll : public CArchiverDll
{
public:
    CUnlha32Dll();
    int Load() override;
};
