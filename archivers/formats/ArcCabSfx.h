#pragma once

#include "archivers/formats/ArcCab.h"

// Self-extracting cabinets through Cab32.dll (id 5); CAB settings and list handling.
class CArcCabSfx : public CSharesFamilySettings<CArcCab>
{
public:
    int Init() override;
    // A cabinet under a temporary name next to the output, then Cab32.dll
    // turns it into the program.
    int Run(HWND owner, char* buffer, size_t size) override;
};
