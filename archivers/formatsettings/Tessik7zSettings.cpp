// The "T7Z" section: read within the DLL's ranges, written back whole.
#include "archivers/formatsettings/Tessik7zSettings.h"

#include "archivers/formatsettings/SectionValues.h"
#include "settings/IniFile.h"
#include "settings/SettingsLayout.h"

CTessik7zSettings g_tessik7zSettings;

namespace {

const char kSection[] = "T7Z";

// A switch is stored as 0 or 1: "true" or "2" leaves it as it was.
const CStoredName<bool> kSwitches[] = {
    {false, "0"},
    {true, "1"},
};

}  // namespace

// The old layouts knew nothing of Tessik7z.dll: they keep the defaults.
int ReadTessik7zSettings(int layoutVersion, const char* iniPath)
{
    if (layoutVersion < kLayoutCurrent)
        return 0;
    CTessik7zSettings& s = g_tessik7zSettings;
    CIniFile ini;
    ini.Open(iniPath, false, false);
    CSectionReader reader(ini, kSection);
    ReadInRange(reader, "Level", kTessik7zLowestLevel, kTessik7zHighestLevel, &s.Level);
    ReadName(reader, "Solid", kSwitches, &s.Solid);
    ReadInRange(reader, "SolidBlock", 0, kTessik7zLargestSolidBlock, &s.SolidBlock);
    ReadInRange(reader, "SolidFiles", 0, kTessik7zMostSolidFiles, &s.SolidFiles);
    ReadInRange(reader, "Threads", 0, kTessik7zMostThreads, &s.Threads);
    ReadName(reader, "EncryptHeader", kSwitches, &s.EncryptHeader);
    reader.Bool("Use", &s.Use);
    ini.Close();
    return 1;
}

int WriteTessik7zSettings(CIniFile& ini)
{
    const CTessik7zSettings& s = g_tessik7zSettings;
    bool written = true;
    written &= ini.WriteInt(kSection, "Level", s.Level) != FALSE;
    written &= ini.WriteString(kSection, "Solid", NameOf(kSwitches, s.Solid)) != FALSE;
    written &= ini.WriteInt(kSection, "SolidBlock", s.SolidBlock) != FALSE;
    written &= ini.WriteInt(kSection, "SolidFiles", s.SolidFiles) != FALSE;
    written &= ini.WriteInt(kSection, "Threads", s.Threads) != FALSE;
    written &= ini.WriteString(kSection, "EncryptHeader", NameOf(kSwitches, s.EncryptHeader)) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
