#include "tests/settings/SettingsSandbox.h"

#include "archivers/CabSettings.h"
#include "archivers/LhaSettings.h"
#include "archivers/SevenZipSettings.h"
#include "archivers/ZipSettings.h"
#include "settings/AppSetting.h"
#include "settings/IniFile.h"
#include "settings/SettingsFormats.h"
#include "tests/support/TestFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

namespace {

const char kHiddenSuffix[] = ".hidden-by-test";

struct CFormatRow
{
    int id;
    const char* name;
    const char* displayName;
};

const CFormatRow kFormats[] = {
    {0, "7Z", "7-Zip32.dll　-　7Z書庫(*.7z)"},         {1, "7ZSFX", "7-Zip32.dll　-　7Z自己解凍(*.exe)"},
    {2, "7ZIP", "7-Zip32.dll　-　ZIP書庫(*.zip)"},     {4, "CAB", "Cab32.dll　-　CAB書庫(*.cab)"},
    {5, "CABSFX", "Cab32.dll　-　CAB自己解凍(*.exe)"}, {6, "LHA", "Unlha32.dll　-　LHA書庫(*.lzh)"},
    {7, "LHASFX", "Unlha32.dll　-　LHA自己解凍(*.exe)"}, {8, "ZIP", "Zip32j.dll　-　ZIP書庫(*.zip)"},
    {9, "ZIPSFX", "Zip32j.dll　-　ZIP自己解凍(*.exe)"},
};

const CFormatRow* FindRow(int id)
{
    for (const CFormatRow& row : kFormats)
    {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}

bool FamilyUsed(int id)
{
    if (id <= 2)
        return g_sevenZipSettings.Use;
    if (id <= 5)
        return g_cabSettings.Use;
    if (id <= 7)
        return g_lhaSettings.Use;
    return g_zipSettings.Use;
}

void Hide(const std::string& path)
{
    std::string hidden = path + kHiddenSuffix;
    DeleteTree(hidden);
    DeleteFileA(hidden.c_str());
    MoveFileA(path.c_str(), hidden.c_str());
}

void Restore(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(path);
    DeleteFileA(path.c_str());
    MoveFileA((path + kHiddenSuffix).c_str(), path.c_str());
    CIniFile::FlushProfileCache(path.c_str());
}

}  // namespace

std::string FormatDisplayName(int id)
{
    const CFormatRow* row = FindRow(id);
    return row ? row->displayName : "";
}

CFakeFormats::CFakeFormats(std::vector<int> registeredIds) : m_ids(std::move(registeredIds))
{
    std::sort(m_ids.begin(), m_ids.end());
    auto registered = [this](int id) { return std::find(m_ids.begin(), m_ids.end(), id) != m_ids.end(); };
    CSettingsFormats formats;
    formats.FindIdByName = [this](const char* name) {
        for (int id : m_ids)
        {
            if (strcmp(FindRow(id)->name, name) == 0)
                return id;
        }
        return -1;
    };
    formats.NameOf = [registered](int id) { return std::string(registered(id) ? FindRow(id)->name : ""); };
    formats.DisplayNameOf = [registered](int id) { return registered(id) ? FormatDisplayName(id) : ""; };
    formats.IsUsable = [registered](int id) { return registered(id) && FamilyUsed(id); };
    formats.FirstUsableId = [this]() {
        for (int id : m_ids)
        {
            if (FamilyUsed(id))
                return id;
        }
        return -1;
    };
    // Only the first builder of each family has settings of its own.
    formats.ReadAll = [this](int version, const char* path) {
        reads.emplace_back(version, path);
        for (int id : m_ids)
        {
            if (id == 0)
                ReadSevenZipSettings(version, path);
            else if (id == 4)
                ReadCabSettings(version, path);
            else if (id == 6)
                ReadLhaSettings(version, path);
            else if (id == 8)
                ReadZipSettings(version, path);
        }
    };
    formats.WriteAll = [this](const char* path) {
        ++writes;
        for (int id : m_ids)
        {
            if (id == 0)
                WriteSevenZipSettings(path);
            else if (id == 4)
                WriteCabSettings(path);
            else if (id == 6)
                WriteLhaSettings(path);
            else if (id == 8)
                WriteZipSettings(path);
        }
        if (duringWrite)
            duringWrite(path);
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
}

std::string CrLfLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
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
    CIniFile::FlushProfileCache(AppDataIni().c_str());
    ResetAllSettings();
}

std::string SettingsFileTest::ProgramIni() const
{
    return TestExeFolder() + "\\tessik.ini";
}

void SettingsFileTest::PlaceFile(const std::string& path, const std::string& bytes) const
{
    std::string folder = path.substr(0, path.rfind('\\'));
    SHCreateDirectoryExA(NULL, folder.c_str(), NULL);
    WriteFileBytes(path, bytes);
    CIniFile::FlushProfileCache(path.c_str());
}

std::vector<std::string> SettingsFileTest::StrayFilesBeside(const std::string& path) const
{
    std::string folder = path.substr(0, path.rfind('\\'));
    std::string name = path.substr(path.rfind('\\') + 1);
    std::vector<std::string> stray;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return stray;
    do
    {
        std::string entry = found.cFileName;
        if (entry != "." && entry != ".." && entry != name && entry.find(kHiddenSuffix) == std::string::npos &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            stray.push_back(entry);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return stray;
}
