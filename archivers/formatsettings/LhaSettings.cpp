#include "archivers/formatsettings/LhaSettings.h"

#include "settings/SettingsLayout.h"
#include "common/TextFile.h"
#include "settings/IniFile.h"
#include "settings/LegacyImport.h"
#include "settings/LineReader.h"
#include "settings/SectionReader.h"

#include <stdio.h>

#include <string>

CLhaSettings g_lhaSettings;

namespace {

const char kSection[] = "LHA";
// Section and defaults of the "[tessik v0.02]" layout.
const char kSecondLayoutSection[] = "lha";
const int kDefaultSfxMode = 2;

// "[tessik v0.01]" lines: the key padded with blanks to 18 characters, "= ".
const char kMethodLine[] = "LhaArcMethod      = ";
const char kSfxLine[] = "ArcSFX            = ";
const size_t kMaxLineLength = 1023;

// Old method flags and self-extracting flags.
const unsigned kOldMethodLh5 = 0x100;
const unsigned kOldMethodLh6 = 0x200;
const unsigned kOldMethodLh7 = 0x400;
const unsigned kOldSfxDos = 0x2;
const unsigned kOldSfxWin32Extended = 0x20;
const unsigned kOldSfxSetup = 0x40;

enum
{
    kSfxDos = 0,
    kSfxWin32Extended = 3,
};

bool StartsWith(const std::string& line, const char* prefix, size_t prefixLength)
{
    return line.compare(0, prefixLength, prefix) == 0;
}

void ApplyOldLine(const std::string& line, CLhaSettings* s)
{
    unsigned flags = 0;
    if (StartsWith(line, kMethodLine, sizeof(kMethodLine) - 1))
    {
        if (sscanf(line.c_str() + sizeof(kMethodLine) - 1, "%x", &flags) != 1)
            return;
        if (flags == kOldMethodLh5)
            s->LhaMode = 0;
        else if (flags == kOldMethodLh6)
            s->LhaMode = 1;
        else if (flags == kOldMethodLh7)
            s->LhaMode = 2;
    }
    else if (StartsWith(line, kSfxLine, sizeof(kSfxLine) - 1))
    {
        if (sscanf(line.c_str() + sizeof(kSfxLine) - 1, "%x", &flags) != 1)
            return;
        if (flags & kOldSfxDos)
            s->SfxMode = kSfxDos;
        else if (flags & kOldSfxWin32Extended)
            s->SfxMode = kSfxWin32Extended;
        if (flags & kOldSfxSetup)
            s->SfxSetup = true;
    }
}

// The header block of a "[tessik v0.01]" file, read as text.
int ScanFirstLayout(const char* iniPath)
{
    CTextFile file;
    if (file.Open(iniPath, "r") == NULL)
        return 0;
    std::string line;
    bool inHeader = false;
    while (ReadTrimmedLine(file, &line, kMaxLineLength))
    {
        if (!inHeader)
            inHeader = line == kFirstLayoutLine;
        else if (!line.empty() && line[0] == '[')
            break;
        else
            ApplyOldLine(line, &g_lhaSettings);
    }
    file.Close();
    return 1;
}

}  // namespace

int ReadLhaSettings(int layoutVersion, const char* iniPath)
{
    CLhaSettings& s = g_lhaSettings;
    CIniFile ini;
    if (layoutVersion >= kLayoutCurrent)
    {
        ini.Open(iniPath, false, false);
        CSectionReader reader(ini, kSection);
        reader.Int("LhaMode", &s.LhaMode);
        reader.Int("SfxMode", &s.SfxMode);
        reader.Bool("SfxSetup", &s.SfxSetup);
        reader.Bool("Use", &s.Use);
        ini.Close();
        return 1;
    }
    if (layoutVersion == kLayoutLegacy2)
    {
        ini.Open(iniPath, false, false);
        s.LhaMode = ini.GetInt(kSecondLayoutSection, "Mode", 0);
        s.SfxMode = ini.GetInt(kSecondLayoutSection, "SfxMode", kDefaultSfxMode);
        s.SfxSetup = ini.GetInt(kSecondLayoutSection, "Win32MSfxSetup", 0) != 0;
        ini.Close();
        return 1;
    }
    if (layoutVersion == kLayoutLegacy1)
        return ScanFirstLayout(iniPath);
    return 0;
}

int WriteLhaSettings(CIniFile& ini)
{
    const CLhaSettings& s = g_lhaSettings;
    bool written = true;
    written &= ini.WriteInt(kSection, "LhaMode", s.LhaMode) != FALSE;
    written &= ini.WriteInt(kSection, "SfxMode", s.SfxMode) != FALSE;
    written &= ini.WriteBool(kSection, "SfxSetup", s.SfxSetup) != FALSE;
    written &= ini.WriteBool(kSection, "Use", s.Use) != FALSE;
    return written ? 1 : 0;
}
