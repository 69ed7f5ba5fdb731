#include "tests/settings/SettingsSandbox.h"

#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formatsettings/LhaSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "archivers/formatsettings/Tessik7zSettings.h"
#include "archivers/formatsettings/TessikZipSettings.h"
#include "archivers/formatsettings/ZipSettings.h"
#include "common/ScopedHandle.h"
#include "settings/AppSetting.h"
#include "settings/IniFile.h"
#include "settings/SettingsFormats.h"
#include "tests/support/TestFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace {

const char kHiddenSuffix[] = ".hidden-by-test";
const char* const kNames[] = {"7Z", "7ZSFX", "7ZIP", "TZIP", "CAB", "CABSFX", "LHA", "LHASFX", "ZIP", "ZIPSFX", "T7Z"};

bool FamilyUsed(int id)
{
    if (id == 3)
        return g_tessikZipSettings.Use;
    if (id == 10)
        return g_tessik7zSettings.Use;
    return id <= 2 ? g_sevenZipSettings.Use : id <= 5 ? g_cabSettings.Use : id <= 7 ? g_lhaSettings.Use
                                                                                    : g_zipSettings.Use;
}

void Hide(const std::string& path)
{
    MoveFileA(path.c_str(), (path + kHiddenSuffix).c_str());
}

void Restore(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(path);
    DeleteFileA(path.c_str());
    MoveFileA((path + kHiddenSuffix).c_str(), path.c_str());
}

}  // namespace

CFakeFormats::CFakeFormats(std::vector<int> registeredIds) : m_ids(std::move(registeredIds))
{
    auto registered = [this](int id) { return std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end(); };
    CSettingsFormats formats;
    formats.FindIdByName = [this](const char* name) {
        for (int id : m_ids)
        {
            if (strcmp(kNames[id], name) == 0)
                return id;
        }
        return -1;
    };
    formats.NameOf = [registered](int id) { return std::string(registered(id) ? kNames[id] : ""); };
    formats.IsUsable = [registered](int id) { return registered(id) && FamilyUsed(id); };
    // Only the first builder of each family has settings of its own.
    formats.ReadAll = [this, registered](int version, const char* path) {
        reads.emplace_back(version, path);
        if (registered(0))
            ReadSevenZipSettings(version, path);
        if (registered(3))
            ReadTessikZipSettings(version, path);
        if (registered(4))
            ReadCabSettings(version, path);
        if (registered(6))
            ReadLhaSettings(version, path);
        if (registered(8))
            ReadZipSettings(version, path);
        if (registered(10))
            ReadTessik7zSettings(version, path);
    };
    formats.WriteAll = [this, registered](CIniFile& ini) {
        const struct
        {
            int id;
            const char* section;
            int (*write)(CIniFile& ini);
        } families[] = {{0, "7-ZIP", WriteSevenZipSettings},
                        {3, "TZIP", WriteTessikZipSettings},
                        {4, "CAB", WriteCabSettings},
                        {6, "LHA", WriteLhaSettings},
                        {8, "ZIP", WriteZipSettings},
                        {10, "T7Z", WriteTessik7zSettings}};
        bool written = true;
        for (const auto& family : families)
        {
            if (!registered(family.id))
                continue;
            // The section goes into the save's held text; the failing one is
            // a builder that reports it could not write.
            written &= family.write(ini) != 0 && failingSection != family.section;
        }
        if (duringWrite)
            duringWrite();
        return written;
    };
    SetSettingsFormats(formats);
}

CFakeFormats::~CFakeFormats()
{
    SetSettingsFormats(CSettingsFormats());
}

void ResetAllSettings()
{
    g_appSetting = CAppSetting();
    g_loadedLayoutVersion = 0;
    g_sevenZipSettings = CSevenZipSettings();
    g_cabSettings = CCabSettings();
    g_lhaSettings = CLhaSettings();
    g_zipSettings = CZipSettings();
    g_tessikZipSettings = CTessikZipSettings();
    g_tessik7zSettings = CTessik7zSettings();
}

std::string CrLfLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string PlaceIni(const std::string& folder, const std::vector<std::string>& lines)
{
    std::string path = folder + "\\tessik.ini";
    WriteFileBytes(path, CrLfLines(lines));
    CIniFile::FlushProfileCache(path.c_str());
    return path;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

void SettingsFileTest::SetUp()
{
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, path, CSIDL_APPDATA, FALSE));
    m_appData = path;
    Hide(m_appData + "\\Norvane");
    Hide(ProgramIni());
    ResetAllSettings();
}

void SettingsFileTest::TearDown()
{
    Restore(m_appData + "\\Norvane");
    Restore(ProgramIni());
    ResetAllSettings();
}

std::string SettingsFileTest::ProgramIni() const
{
    return TestExeFolder() + "\\tessik.ini";
}

void SettingsFileTest::PlaceFile(const std::string& path, const std::string& bytes) const
{
    SHCreateDirectoryExA(NULL, path.substr(0, path.rfind('\\')).c_str(), NULL);
    WriteFileBytes(path, bytes);
    CIniFile::FlushProfileCache(path.c_str());
}

std::vector<std::string> SectionLines(const std::string& iniPath, const std::string& section)
{
    std::string bytes = ReadFileBytes(iniPath);
    std::vector<std::string> lines;
    bool inside = false;
    size_t start = 0;
    while (start < bytes.size())
    {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line[0] == '[')
        {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty())
            lines.push_back(line);
    }
    return lines;
}
