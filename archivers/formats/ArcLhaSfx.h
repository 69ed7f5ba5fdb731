#pragma once

#include "archivers/formats/ArcLha.h"

// Self-extracting LHA programs through Unlha32.dll (id 7); LHA settings and list handling.
class CArcLhaSfx : public CSharesFamilySettings<CArcLha>
{
public:
    int Init() override;
    // An LHA archive under a temporary name next to the output, then
    // Unlha32.dll turns it into a program of the chosen kind.
    int Run(HWND owner, char* buffer, size_t size) override;
};
