#include "settings/LegacyImport.h"

#include "common/TextFile.h"
#include "settings/AppSetting.h"
#include "settings/LineReader.h"
#include "settings/SettingsFormats.h"
#include "settings/SettingsLayout.h"

#include <stdio.h>
#include <string.h>

#include <string>

const char kFirstLayoutLine[] = "[tessik v0.01]";
const char kSecondLayoutLine[] = "[tessik v0.02]";

namespace {

const size_t kMaxLineLength = 1023;
const char kExtensionBlockLine[] = "[ext]";
const char kImportedListTitle[] = "デフォルト";
const char kImportedListComment[] = "以前のバージョンから引き継いだフィルタリスト";

// First layout: a key padded with blanks to 18 characters, then "= ".
const size_t kPaddedKeyLength = 20;
const int kLhaSfxMark = 0x80;

enum
{
    kV1WindowPos,
    kV1OverWrite,
    kV1ArcSfx,
    kV1FolderOpen,
    kV1DefaultFolder,
    kV1DefaultFolderSw,
    kV1LhaArcState,
    kV1ExtFilter,
};

const char* const kFirstLayoutKeys[] = {
    "WindowPos         = ", "OverWrite         = ", "ArcSFX            = ", "FolderOpen        = ",
    "DefaultFolder     = ", "DefaultFolderSw   = ", "LhaArcState       = ", "ExtFilter         = ",
};

// Second layout: key names tested in this order, so a longer name that shares
// its start with a shorter one ("OutDirectorySw", "OutDirectory") wins.
enum
{
    kV2WindowPos,
    kV2DefaultArchiver,
    kV2OverWriteAction,
    kV2OutDirectorySw,
    kV2OutDirectoryOpen,
    kV2OutDirectory,
    kV2StatusDraw,
    kV2QuickStart,
    kV2ExtFilter,
};

const char* const kSecondLayoutKeys[] = {
    "WindowPos",      "DefaultArchiver", "OverWriteAction", "OutDirectorySw", "OutDirectoryOpen",
    "OutDirectory",   "StatusDraw",      "QuickStart",      "ExtFilter",
};

const int kMaxArchiverNameLength = 15;

// Index of the first key the line starts with (case-sensitive), or -1.
template <size_t N>
int FindKey(const std::string& line, const char* const (&keys)[N])
{
    for (size_t i = 0; i < N; ++i)
    {
        if (line.compare(0, strlen(keys[i]), keys[i]) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

void ScanWindowPos(const char* value, CAppSetting* setting)
{
    int left = 0, top = 0;
    int scanned = sscanf(value, "%d,%d", &left, &top);
    if (scanned >= 1)
        setting->WindowLeft = left;
    if (scanned >= 2)
        setting->WindowTop = top;
}

void ScanSwitch(const char* value, bool* target)
{
    int number = 0;
    if (sscanf(value, "%d", &number) == 1)
        *target = number != 0;
}

void ApplyFirstLayoutLine(const std::string& line, CAppSetting* setting)
{
    int key = FindKey(line, kFirstLayoutKeys);
    if (key < 0)
        return;
    const char* value = line.c_str() + kPaddedKeyLength;
    unsigned flags = 0;
    switch (key)
    {
    case kV1WindowPos:
        ScanWindowPos(value, setting);
        break;
    case kV1OverWrite:
        if (sscanf(value, "%x", &flags) != 1)
            break;
        if (flags == 1)
            setting->OverWriteAction = kOverwriteAlways;
        else if (flags == 2)
            setting->OverWriteAction = kOverwriteAppend;
        else if (flags == 4)
            setting->OverWriteAction = kOverwriteAsk;
        else if (flags == 8)
            setting->OverWriteAction = kOverwriteRename;
        break;
    case kV1ArcSfx:
        if (sscanf(value, "%x", &flags) == 1 && (flags & kLhaSfxMark) != 0)
        {
            int id = SettingsFindFormatIdByName("LHASFX");
            if (id != kNoFormat)
                setting->DefaultArcType = id;
        }
        break;
    case kV1FolderOpen:
        ScanSwitch(value, &setting->OutFolderOpen);
        break;
    case kV1DefaultFolder:
        setting->OutFolder = value;
        break;
    case kV1DefaultFolderSw:
        ScanSwitch(value, &setting->OutFolderSw);
        break;
    case kV1LhaArcState:
        ScanSwitch(value, &setting->StatusDialog);
        break;
    case kV1ExtFilter:
        ScanSwitch(value, &setting->FilterSw);
        break;
    }
}

void ApplySecondLayoutLine(const std::string& line, CAppSetting* setting)
{
    int key = FindKey(line, kSecondLayoutKeys);
    if (key < 0)
        return;
    size_t equals = line.find('=', strlen(kSecondLayoutKeys[key]));
    if (equals == std::string::npos)
        return;
    const char* value = line.c_str() + equals + 1;
    switch (key)
    {
    case kV2WindowPos:
        ScanWindowPos(value, setting);
        break;
    case kV2DefaultArchiver:
    {
        char word[1024];
        if (sscanf(value, "%1023s", word) == 1 && strlen(word) <= kMaxArchiverNameLength)
        {
            int id = SettingsFindFormatIdByName(word);
            if (id != kNoFormat)
                setting->DefaultArcType = id;
        }
        break;
    }
    case kV2OverWriteAction:
        sscanf(value, "%d", &setting->OverWriteAction);
        break;
    case kV2OutDirectorySw:
        ScanSwitch(value, &setting->OutFolderSw);
        break;
    case kV2OutDirectoryOpen:
        ScanSwitch(value, &setting->OutFolderOpen);
        break;
    case kV2OutDirectory:
        value += strspn(value, " \t");
        setting->OutFolder = value;
        break;
    case kV2StatusDraw:
        ScanSwitch(value, &setting->StatusDialog);
        break;
    case kV2QuickStart:
        ScanSwitch(value, &setting->QuickStart);
        break;
    case kV2ExtFilter:
        ScanSwitch(value, &setting->FilterSw);
        break;
    }
}

// Reads lines until one equals `wanted`; false at the end of the file.
bool SkipPast(CTextFile& file, const char* wanted)
{
    std::string line;
    while (ReadTrimmedLine(file, &line, kMaxLineLength))
    {
        if (line == wanted)
            return true;
    }
    return false;
}

int Import(const char* path, const char* firstLine, int layout,
           void (*applyLine)(const std::string&, CAppSetting*))
{
    CTextFile file;
    if (file.Open(path, "r") == NULL)
        return 0;

    std::string line;
    if (SkipPast(file, firstLine))
    {
        while (ReadTrimmedLine(file, &line, kMaxLineLength) && (line.empty() || line[0] != '['))
            applyLine(line, &g_appSetting);
    }

    CFilterList list;
    list.Title = kImportedListTitle;
    list.Comment = kImportedListComment;
    list.ActType = kFilterActExclude;
    file.Seek(0, SEEK_SET);
    if (SkipPast(file, kExtensionBlockLine))
    {
        while (ReadTrimmedLine(file, &line, kMaxLineLength))
        {
            if (line.empty())
                continue;
            CFilterDef definition;
            definition.Type = kFilterTypeExtension;
            definition.Filter = line;
            list.Definitions.push_back(definition);
        }
    }
    g_appSetting.FilterLists.push_back(list);
    file.Close();
    return layout;
}

}  // namespace

int ImportFirstLayout(const char* path)
{
    return Import(path, kFirstLayoutLine, kLayoutLegacy1, ApplyFirstLayoutLine);
}

int ImportSecondLayout(const char* path)
{
    return Import(path, kSecondLayoutLine, kLayoutLegacy2, ApplySecondLayoutLine);
}
