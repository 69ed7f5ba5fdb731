#include "settings/SettingsFile.h"

#include "common/FileMutex.h"
#include "common/HeldFile.h"
#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/StringSplitter.h"
#include "common/TextFile.h"
#include "settings/AppSetting.h"
#include "settings/FileReplace.h"
#include "settings/FilterSettings.h"
#include "settings/IniFile.h"
#include "settings/LegacyImport.h"
#include "settings/SectionReader.h"
#include "settings/SettingsFormats.h"
#include "settings/SettingsLayout.h"

#include <windows.h>
#include <shlobj.h>

#include <stdio.h>
#include <string.h>

namespace {

const char kSettingsFolder[] = "Norvane\\Tessik";
const char kSettingsFileName[] = "tessik.ini";
const char kGeneral[] = "GENERAL";
const char kArchive[] = "ARCHIVE";
const char kWrittenVersion[] = "100";
const char kVerifyArchive[] = "VerifyArchive";
// Instances that end together (several quick-start jobs started at once) save
// one after the other; a save takes well under a second, so a lock that stays
// taken this long belongs to an instance that hangs.
const DWORD kSaveLockTimeoutMs = 30000;

// The user's application data folder where the shell keeps it: the profile's
// "User Shell Folders" entry, with the variables in it expanded. Reading it
// here keeps the shell's DLL out of the start-up; empty when the entry is
// missing or names no folder, and the shell is asked then.
std::wstring AppDataFromShellFolders()
{
    wchar_t stored[kPathBufferSize];
    DWORD size = sizeof(stored);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                     L"AppData", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, NULL, stored,
                     &size) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t expanded[kPathBufferSize];
    DWORD length = ExpandEnvironmentStringsW(stored, expanded, kPathBufferSize);
    if (length == 0 || length > kPathBufferSize)
        return std::wstring();
    DWORD attributes = GetFileAttributesW(expanded);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return std::wstring();
    return expanded;
}

// The settings file is read and written by ANSI path; the folder is taken
// wide, so that a user folder beyond the code page still has one.
bool GetAppDataFolder(std::string* folder)
{
    std::wstring wide = AppDataFromShellFolders();
    if (wide.empty())
    {
        wchar_t shell[MAX_PATH];
        if (FAILED(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, shell)))
            return false;
        wide = shell;
    }
    char path[kPathBufferSize];
    if (!GetAnsiPathName(wide.c_str(), path, sizeof(path)))
        return false;
    *folder = path;
    return true;
}

std::string ProgramFolderFile()
{
    char folder[kPathBufferSize];
    if (GetModuleFolder(folder, sizeof(folder)) <= 0)
        return std::string();
    return std::string(folder) + "\\" + kSettingsFileName;
}

void ReadWindowPos(const char* text, CAppSetting* setting)
{
    CStringSplitter pieces;
    if (pieces.Split(text, ',') != 2)
        return;
    char piece[kPathBufferSize];
    if (pieces.GetPiece(0, piece, sizeof(piece)) >= 0)
        setting->WindowLeft = ParseSettingInt(piece);
    if (pieces.GetPiece(1, piece, sizeof(piece)) >= 0)
        setting->WindowTop = ParseSettingInt(piece);
}

// The current layout; returns the stored version (0 when missing).
int ReadCurrentLayout(const char* path)
{
    CAppSetting& setting = g_appSetting;
    CIniFile ini;
    ini.Open(path, false, false);
    CSectionReader general(ini, kGeneral);

    int version = 0;
    general.Int("Version", &version);
    if (const char* value = general.Get("WindowPos"))
        ReadWindowPos(value, &setting);
    if (const char* value = general.Get("DefaultArcType"))
        setting.DefaultArcType = SettingsFindFormatIdByName(value);
    general.Bool("CmpTypeDefault", &setting.CmpTypeDefault);
    general.Int("OverWriteAction", &setting.OverWriteAction);
    general.Bool("QuickStart", &setting.QuickStart);
    general.Bool("CmpEndExit", &setting.CmpEndExit);
    general.Bool("AllwaysResult", &setting.AllwaysResult);
    general.Bool("OutFolderOpen", &setting.OutFolderOpen);
    general.Text("OutFolder", &setting.OutFolder);
    general.Bool("OutFolderSw", &setting.OutFolderSw);
    general.Bool("AutoComplete", &setting.AutoComplete);
    general.Text("PreviewFolder", &setting.PreviewFolder);
    general.Bool(kVerifyArchive, &setting.VerifyArchive);

    LoadFilterSettings(ini, &setting);

    CSectionReader archive(ini, kArchive);
    archive.Bool("StatusDialog", &setting.StatusDialog);
    ini.Close();
    return version;
}

// verifyKeyInFile: the file being updated already holds VerifyArchive.
bool WriteGeneral(CIniFile& ini, const CAppSetting& setting, bool verifyKeyInFile)
{
    char windowPos[32];
    snprintf(windowPos, sizeof(windowPos), "%d,%d", setting.WindowLeft, setting.WindowTop);
    bool ok = ini.WriteString(kGeneral, "Version", kWrittenVersion) != FALSE;
    ok &= ini.WriteString(kGeneral, "WindowPos", windowPos) != FALSE;
    ok &= ini.WriteString(kGeneral, "DefaultArcType", SettingsFormatName(setting.DefaultArcType).c_str()) != FALSE;
    ok &= ini.WriteBool(kGeneral, "CmpTypeDefault", setting.CmpTypeDefault) != FALSE;
    ok &= ini.WriteInt(kGeneral, "OverWriteAction", setting.OverWriteAction) != FALSE;
    ok &= ini.WriteBool(kGeneral, "QuickStart", setting.QuickStart) != FALSE;
    ok &= ini.WriteBool(kGeneral, "CmpEndExit", setting.CmpEndExit) != FALSE;
    ok &= ini.WriteBool(kGeneral, "AllwaysResult", setting.AllwaysResult) != FALSE;
    ok &= ini.WriteBool(kGeneral, "OutFolderOpen", setting.OutFolderOpen) != FALSE;
    ok &= ini.WriteString(kGeneral, "OutFolder", setting.OutFolder.c_str()) != FALSE;
    ok &= ini.WriteBool(kGeneral, "OutFolderSw", setting.OutFolderSw) != FALSE;
    ok &= ini.WriteBool(kGeneral, "AutoComplete", setting.AutoComplete) != FALSE;
    // A key older readers do not know, and so pass over.
    if (!setting.PreviewFolder.empty())
        ok &= ini.WriteString(kGeneral, "PreviewFolder", setting.PreviewFolder.c_str()) != FALSE;
    // A file without the key reads as on, so the key is written only once the
    // check is off, and the other keys stay as earlier versions wrote them. A
    // file that holds it has it rewritten: turning the check on again must
    // replace its "false".
    if (!setting.VerifyArchive || verifyKeyInFile)
        ok &= ini.WriteBool(kGeneral, kVerifyArchive, setting.VerifyArchive) != FALSE;
    return ok;
}

// Builds the whole new file beside `file` and puts it in place, or leaves
// `file` as it was when any section could not be written. An old layout (or
// no file read) starts from an empty file; the current layout is updated key
// by key, so sections of formats that are not registered now survive.
bool WriteSettingsFile(const std::string& file)
{
    DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;

    std::string temp;
    if (!CreateSiblingTempFile(file.c_str(), &temp))
        return false;
    bool ok = true;
    bool copied = g_loadedLayoutVersion >= kLayoutCurrent && attributes != INVALID_FILE_ATTRIBUTES;
    if (copied)
        ok = RetryWhileHeld([&]() { return CopyFileA(file.c_str(), temp.c_str(), FALSE) != FALSE; });
    bool changed = true;

    if (ok)
    {
        // Every section goes into the text in memory and the file is written
        // once: through the profile functions each key rewrote the whole file.
        // Asked of a reader of its own: the file the writes go to is opened
        // and held as ever, before anything is read of it.
        bool verifyKeyInFile = false;
        if (copied)
        {
            CIniFile probe;
            verifyKeyInFile = probe.Open(temp.c_str(), true, false) &&
                              CSectionReader(probe, kGeneral).Get(kVerifyArchive) != NULL;
        }
        CIniFile ini;
        ini.Open(temp.c_str(), false, false);
        ini.HoldWrites();
        ok = WriteGeneral(ini, g_appSetting, verifyKeyInFile);
        ok &= SaveFilterSettings(ini, g_appSetting);
        ok &= ini.WriteBool(kArchive, "StatusDialog", g_appSetting.StatusDialog) != FALSE;
        // A format section that is missing would be lost for good: an old
        // layout is not merged, and the next run reads the format's defaults.
        ok &= SettingsWriteAllFormats(ini);
        ok &= ini.CommitWrites(&changed);
        ini.Close();
    }
    // Settings that are already in the file (a quick-start run changes none)
    // leave it untouched.
    if (!ok || (copied && !changed))
    {
        DeleteFileA(temp.c_str());
        return ok;
    }
    if (!ReplaceWithTempFile(temp.c_str(), file.c_str()))
        return false;
    CIniFile::FlushProfileCache(file.c_str());
    return true;
}

// The application-data file when it exists, else the one beside the program.
std::string FindSettingsFileForReading()
{
    std::string appData;
    if (GetAppDataFolder(&appData))
    {
        std::string path = appData + "\\" + kSettingsFolder + "\\" + kSettingsFileName;
        if (path.size() < kPathBufferSize && GetPathType(path.c_str()) == kPathFile)
            return path;
    }
    return ProgramFolderFile();
}

// The application-data file whenever that folder is known (the folder is
// created when missing), else the one beside the program.
std::string PrepareSettingsFileForWriting()
{
    std::string appData;
    if (!GetAppDataFolder(&appData))
        return ProgramFolderFile();
    std::string folder = appData + "\\" + kSettingsFolder;
    if (GetPathType(folder.c_str()) == kPathMissing)
        CreateFolderTree(folder.c_str());
    return folder + "\\" + kSettingsFileName;
}

}  // namespace

bool LoadSettings()
{
    std::string path = FindSettingsFileForReading();
    if (path.empty())
        return false;
    // A file held for a moment would read as no file, and the save at the end
    // of the run would then replace it with the defaults.
    if (GetPathType(path.c_str()) == kPathFile)
    {
        RetryWhileHeld([&]() {
            CScopedHandle probe(CreateFileA(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
            return probe.IsValid();
        });
    }
    CTextFile file;
    if (file.Open(path.c_str(), "r") == NULL)
        return false;
    char firstLine[kPathBufferSize] = "";
    if (file.ReadLine(firstLine, sizeof(firstLine)) == NULL)
        firstLine[0] = '\0';
    RemoveTrailingNewline(firstLine);
    file.Close();
    g_loadedLayoutVersion = 0;
    // Another load in the same process must see the file as it is now.
    CIniFile::FlushProfileCache(path.c_str());

    int version;
    if (strcmp(firstLine, kFirstLayoutLine) == 0)
        version = ImportFirstLayout(path.c_str());
    else if (strcmp(firstLine, kSecondLayoutLine) == 0)
        version = ImportSecondLayout(path.c_str());
    else
        version = ReadCurrentLayout(path.c_str());
    g_loadedLayoutVersion = version;
    if (version == 0)
        return false;

    SettingsReadAllFormats(version, path.c_str());
    if (!SettingsFormatIsUsable(g_appSetting.DefaultArcType))
        g_appSetting.DefaultArcType = kNoFormat;
    return true;
}

bool SaveSettings(std::string* file)
{
    *file = PrepareSettingsFileForWriting();
    if (file->empty() || file->size() >= kPathBufferSize)
        return false;
    // Two instances that copy, write and rename the same file at once would
    // refuse each other's copy or rename, or one would copy a file the other
    // is about to replace.
    CFileMutexLock lock(file->c_str(), kSaveLockTimeoutMs);
    return lock.IsHeld() && WriteSettingsFile(*file);
}
