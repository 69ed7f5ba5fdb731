#include "archivers/formatsettings/CabSettings.h"

#include "settings/SettingsLayout.h"
#include "settings/IniFile.h"
#include "settings/SectionReader.h"

CCabSettings g_cabSettings;

namespace {
const char kSection[] = "CAB";
}

// The old layouts knew nothing of Cab32: they keep the defaults.
int ReadCabSettings(int layoutVersion, const char* iniPath)
{
    if (layoutVersion < kLayoutCurrent)
        return 0;
    CCabSettings& s = g_cabSettings;
    CIniFile ini;
    ini.Open(iniPath, false, false);
    CSectionReader reader(ini, kSection);
    reader.Int("CabMode", &s.CabMode);
    reader.Int("LzxLevel", &s.LzxLevel);
    reader.Bool("MultiVolume", &s.MultiVolume);
    reader.Int("MultiVolumeSize", &s.MultiVolumeSize);
    reader.Bool("Use", &s.Use);
    ini.Close();
    return 1;
}

int WriteCabSettings(CIniFile& ini)
{
    const CCabSettings& s = g_cabSettings;
    bool written = true;
    written &= ini.WriteInt(kSection, "CabMode", s.CabMode) != FALSE;
    written &= ini.WriteInt(kSection, "LzxLevel", s.LzxLevel) != FALSE;
    written &= ini.WriteBool(kSection, "MultiVolume", s.MultiVolume) != FALSE;
    written &= ini.WriteInt(kSection, "MultiVolumeSize", s.MultiVolumeSize) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
