#include "archivers/ZipSettings.h"

CZipSettings g_zipSettings;

int ReadZipSettings(int layoutVersion, const char* iniPath)
{
    return 0;
}

int WriteZipSettings(const char* iniPath)
{
    return 0;
}
