#pragma once

#include "archivers/ArcCab.h"

// Self-extracting cabinets through Cab32.dll (id 5); CAB settings and list handling.
class CArcCabSfx : public CArcCab
{
public:
    int Init() override;
    int GetPageCount() override { return 0; }
    int WriteSettings(const char* iniPath) override { return 0; }
    int ReadSettings(int layoutVersion, const char* iniPath) override { return 0; }
};
