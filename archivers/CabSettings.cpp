#include "archivers/CabSettings.h"

CCabSettings g_cabSettings;

int ReadCabSettings(int layoutVersion, const char* iniPath)
{
    return 0;
}

int WriteCabSettings(const char* iniPath)
{
    return 0;
}
