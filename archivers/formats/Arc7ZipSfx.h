#pragma once

#include "archivers/formats/Arc7Zip.h"

// Self-extracting 7z programs through 7-Zip32.dll (id 1): the 7z command line
// with the module switch first among the options. Offered only when at least
// one self-extracting module is available.
class CArc7ZipSfx : public CSharesFamilySettings<CArc7Zip>
{
public:
    int Init() override;
    // Leaves 7-Zip32.dll loaded after a successful run.
    int Run(HWND owner, char* buffer, size_t size) override;
};

// The module value that stands for 7-Zip32.dll's own module.
extern const char kBuiltinSfxModule[];

// Tests "7z.sfx", "7zC.sfx", "7zCon.sfx" and the built-in module once and
// returns how many are available.
int DiscoverSfxModules();
// 1 when the module was found available, 0 otherwise or when never tested.
int IsSfxModuleAvailable(const char* moduleName);
int GetSfxModuleCount();
