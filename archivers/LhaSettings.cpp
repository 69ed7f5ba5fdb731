#include "archivers/LhaSettings.h"

CLhaSettings g_lhaSettings;

int ReadLhaSettings(int layoutVersion, const char* iniPath)
{
    return 0;
}

int WriteLhaSettings(const char* iniPath)
{
    return 0;
}
