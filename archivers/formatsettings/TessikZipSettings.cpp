#include "archivers/formatsettings/TessikZipSettings.h"

#include "archivers/formatsettings/SectionValues.h"
#include "settings/IniFile.h"
#include "settings/SettingsLayout.h"

CTessikZipSettings g_tessikZipSettings;

namespace {

const char kSection[] = "TZIP";

const CStoredName<ETessikZipMethod> kMethods[] = {
    {ETessikZipMethod::Deflate, "Deflate"},
    {ETessikZipMethod::Store, "Store"},
};
const CStoredName<ETessikZipEncryption> kEncryptions[] = {
    {ETessikZipEncryption::Aes, "AES"},
    {ETessikZipEncryption::ZipCrypto, "ZipCrypto"},
};
const CStoredName<ETessikZipNames> kNames[] = {
    {ETessikZipNames::Utf8, "UTF-8"},
    {ETessikZipNames::ShiftJis, "Shift_JIS"},
};

}  // namespace

// The old layouts knew nothing of TessikZip.dll: they keep the defaults.
int ReadTessikZipSettings(int layoutVersion, const char* iniPath)
{
    if (layoutVersion < kLayoutCurrent)
        return 0;
    CTessikZipSettings& s = g_tessikZipSettings;
    CIniFile ini;
    ini.Open(iniPath, false, false);
    CSectionReader reader(ini, kSection);
    ReadInRange(reader, "Level", kTessikZipLowestLevel, kTessikZipHighestLevel, &s.Level);
    ReadName(reader, "Method", kMethods, &s.Method);
    ReadName(reader, "Encryption", kEncryptions, &s.Encryption);
    ReadName(reader, "Names", kNames, &s.Names);
    ReadInRange(reader, "Threads", 0, kTessikZipMostThreads, &s.Threads);
    reader.Bool("Use", &s.Use);
    ini.Close();
    return 1;
}

int WriteTessikZipSettings(CIniFile& ini)
{
    const CTessikZipSettings& s = g_tessikZipSettings;
    bool written = true;
    written &= ini.WriteInt(kSection, "Level", s.Level) != FALSE;
    written &= ini.WriteString(kSection, "Method", NameOf(kMethods, s.Method)) != FALSE;
    written &= ini.WriteString(kSection, "Encryption", NameOf(kEncryptions, s.Encryption)) != FALSE;
    written &= ini.WriteString(kSection, "Names", NameOf(kNames, s.Names)) != FALSE;
    written &= ini.WriteInt(kSection, "Threads", s.Threads) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
