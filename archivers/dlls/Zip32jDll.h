#pragma once

#include "archivers/dlls/ArchiverDll.h"

// Zip32j.dll, which works through zip32.dll: it counts as installed only when
// zip32.dll loads too.
class CZip32jDll : public CArchiverDll
{
public:
    CZip32jDll();
    int Load() override;

    // Both load when needed and always unload afterwards.
    int QueryEncryption();
    int QueryFunctionList(int function);

private:
    ArchiverQueryFunctionList* m_queryFunctionList;
    ArchiverQueryEncryption* m_queryEncryption;
};
