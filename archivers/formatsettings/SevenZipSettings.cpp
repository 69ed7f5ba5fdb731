#include "archivers/formatsettings/SevenZipSettings.h"

#include "settings/SettingsLayout.h"
#include "settings/IniFile.h"
#include "settings/SectionReader.h"

#include <stdio.h>

CSevenZipSettings g_sevenZipSettings;

namespace {
const char kSection[] = "7-ZIP";
}

// The old layouts knew nothing of 7-Zip32: they keep the defaults.
int ReadSevenZipSettings(int layoutVersion, const char* iniPath)
{
    if (layoutVersion < kLayoutCurrent)
        return 0;
    CSevenZipSettings& s = g_sevenZipSettings;
    CIniFile ini;
    ini.Open(iniPath, false, false);
    CSectionReader reader(ini, kSection);
    reader.Int("SevenZipMode", &s.SevenZipMode);
    reader.Text("SevenZipAlgorithm", &s.SevenZipAlgorithm);
    reader.Unsigned("SevenZipFastBytes", &s.SevenZipFastBytes);
    reader.Unsigned("SevenZipPasses", &s.SevenZipPasses);
    reader.Int("SevenZMode", &s.SevenZMode);
    reader.Bool("SevenZSolid", &s.SevenZSolid);
    reader.Bool("SevenZFilter", &s.SevenZFilter);
    reader.Bool("SevenZHeaderComp", &s.SevenZHeaderComp);
    reader.Bool("SevenZHeaderCompFull", &s.SevenZHeaderCompFull);
    reader.Bool("SevenZHeaderCrypt", &s.SevenZHeaderCrypt);
    reader.Text("SevenZAlgorithm", &s.SevenZAlgorithm);
    reader.Text("SevenZSfx", &s.SevenZSfx);
    reader.Bool("SevenZCompCommandUse", &s.SevenZCompCommandUse);
    reader.Text("SevenZCompCommand", &s.SevenZCompCommand);
    reader.Bool("Use", &s.Use);
    ini.Close();
    return 0;
}

int WriteSevenZipSettings(CIniFile& ini)
{
    const CSevenZipSettings& s = g_sevenZipSettings;
    bool written = true;
    char number[16];
    written &= ini.WriteInt(kSection, "SevenZipMode", s.SevenZipMode) != FALSE;
    written &= ini.WriteString(kSection, "SevenZipAlgorithm", s.SevenZipAlgorithm.c_str()) != FALSE;
    snprintf(number, sizeof(number), "%u", s.SevenZipFastBytes);
    written &= ini.WriteString(kSection, "SevenZipFastBytes", number) != FALSE;
    snprintf(number, sizeof(number), "%u", s.SevenZipPasses);
    written &= ini.WriteString(kSection, "SevenZipPasses", number) != FALSE;
    written &= ini.WriteInt(kSection, "SevenZMode", s.SevenZMode) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZSolid", s.SevenZSolid) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZFilter", s.SevenZFilter) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZHeaderComp", s.SevenZHeaderComp) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZHeaderCompFull", s.SevenZHeaderCompFull) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZHeaderCrypt", s.SevenZHeaderCrypt) != FALSE;
    written &= ini.WriteString(kSection, "SevenZAlgorithm", s.SevenZAlgorithm.c_str()) != FALSE;
    written &= ini.WriteString(kSection, "SevenZSfx", s.SevenZSfx.c_str()) != FALSE;
    written &= ini.WriteBool(kSection, "SevenZCompCommandUse", s.SevenZCompCommandUse) != FALSE;
    written &= ini.WriteString(kSection, "SevenZCompCommand", s.SevenZCompCommand.c_str()) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
