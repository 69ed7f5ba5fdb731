#pragma once

#include "archivers/dlls/ArchiverDll.h"

// Cab32.dll. The archive-handle entries are required although only the
// command and version entries are called: without them the DLL counts as
// not installed.
class CCab32Dll : public CArchiverDll
{
public:
    CCab32Dll();
    int Load() override;
};
