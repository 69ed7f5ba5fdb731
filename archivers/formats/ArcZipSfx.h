#pragma once

#include "archivers/formats/ArcZip.h"

// Self-extracting ZIP programs through Zip32j.dll (id 9); ZIP settings and list handling.
class CArcZipSfx : public CSharesFamilySettings<CArcZip>
{
public:
    int Init() override;
    // A ZIP archive under a temporary name next to the output, then Zip32j.dll
    // turns it into the program.
    int Run(HWND owner, char* buffer, size_t size) override;
};
