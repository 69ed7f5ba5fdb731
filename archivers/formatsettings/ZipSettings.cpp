#include "archivers/formatsettings/ZipSettings.h"

#include "settings/SettingsLayout.h"
#include "settings/IniFile.h"
#include "settings/SectionReader.h"

CZipSettings g_zipSettings;

namespace {

const char kSection[] = "ZIP";
// Section and defaults of the "[tessik v0.02]" layout.
const char kSecondLayoutSection[] = "zip";
const int kDefaultZipMode = 6;

}  // namespace

int ReadZipSettings(int layoutVersion, const char* iniPath)
{
    CZipSettings& s = g_zipSettings;
    CIniFile ini;
    if (layoutVersion >= kLayoutCurrent)
    {
        ini.Open(iniPath, false, false);
        CSectionReader reader(ini, kSection);
        reader.Int("ZipMode", &s.ZipMode);
        reader.Bool("Crlf2Lf", &s.Crlf2Lf);
        reader.Bool("Lf2Crlf", &s.Lf2Crlf);
        reader.Bool("Use", &s.Use);
        ini.Close();
        return 1;
    }
    if (layoutVersion == kLayoutLegacy2)
    {
        ini.Open(iniPath, false, false);
        s.ZipMode = ini.GetInt(kSecondLayoutSection, "Mode", kDefaultZipMode);
        s.Crlf2Lf = ini.GetInt(kSecondLayoutSection, "Crlf2Lf", 0) != 0;
        s.Lf2Crlf = ini.GetInt(kSecondLayoutSection, "Lf2Crlf", 0) != 0;
        ini.Close();
        return 1;
    }
    // "[tessik v0.01]" had no ZIP settings.
    return 0;
}

int WriteZipSettings(CIniFile& ini)
{
    const CZipSettings& s = g_zipSettings;
    bool written = true;
    written &= ini.WriteInt(kSection, "ZipMode", s.ZipMode) != FALSE;
    written &= ini.WriteBool(kSection, "Crlf2Lf", s.Crlf2Lf) != FALSE;
    written &= ini.WriteBool(kSection, "Lf2Crlf", s.Lf2Crlf) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
