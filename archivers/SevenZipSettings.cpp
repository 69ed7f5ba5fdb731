#include "archivers/SevenZipSettings.h"

CSevenZipSettings g_sevenZipSettings;

int ReadSevenZipSettings(int layoutVersion, const char* iniPath)
{
    return 0;
}

int WriteSevenZipSettings(const char* iniPath)
{
    return 0;
}
