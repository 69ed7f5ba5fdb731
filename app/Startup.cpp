#include "app/Startup.h"

#include "app/CompressMode.h"
#include "app/SettingsMode.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/TextConvert.h"
#include "common/TextFormat.h"
#include "job/InputList.h"
#include "job/PerItemRun.h"
#include "settings/AppSetting.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFormats.h"
#include "ui/framework/Messages.h"
#include "ui/framework/PathCompletion.h"

#include <commctrl.h>

#include <stdio.h>

namespace {

const char kNoArchiverMessage[] =
    "アーカイバーDLLがインストールされていません。\n"
    "起動には対応形式のアーカイバーDLLが少なくとも1種類必要です。\n"
    "詳しくは、ヘルプをご覧ください";
const char kSaveFailedFormat[] = "設定ファイル「%s」に書き込めませんでした。\n変更した設定は保存されていません。";
const char kDefaultFormatReplacedFormat[] =
    "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式を%sに変更しました。";

// Run result that asks for the settings to be written back.
const int kRunResultSave = 1;
const int kRunResultDiscard = 2;

bool IsEachModeMark(const wchar_t* argument)
{
    return AnsiToWide(kEachModeMark) == argument;
}

bool IsEachModeRun(int argc, wchar_t** argv)
{
    return argc >= 2 && (IsEachModeMark(argv[1]) || GetHandOffMode(argv[1]) == kHandOffEach);
}

// The compress dialog on the input list. It always ends with 1, which writes
// the settings back; only a dialog that could not be made writes nothing.
// *exitCode is 0, or 1 when one archive per item was asked for and not every
// one was made, or when the archive of the last job failed its read back.
int RunCompressMode(int argc, wchar_t** argv, int* exitCode)
{
    CPathCompletion completion;
    CInputList inputs;
    *exitCode = 0;
    int result;
    if (IsEachModeRun(argc, argv))
    {
        // "::EACH" and the paths after it read as a plain command line from
        // the mark on; the hand-off token is read as every hand-off token is.
        if (IsEachModeMark(argv[1]))
            FillInputList(argc - 1, argv + 1, &inputs);
        else
            FillInputList(argc, argv, &inputs);
        bool allMade = false;
        result = RunEachModeDialog(inputs, &completion, &allMade);
        *exitCode = allMade ? 0 : kExitNotAllMade;
    }
    else
    {
        FillInputList(argc, argv, &inputs);
        bool notVerified = false;
        result = RunCompressDialog(inputs, &completion, &notVerified);
        // A script that starts a quick start learns that its archive was
        // not made as it was asked to be.
        *exitCode = notVerified ? kExitNotAllMade : 0;
    }
    return result == kRunResultSave ? kRunResultSave : kRunResultDiscard;
}

// The extension's hand-off file is read by this program alone: when the
// program cannot start, the file must go all the same.
void DiscardHandOff(int argc, wchar_t** argv)
{
    std::vector<std::wstring> unread;
    if (argc >= 2 && GetHandOffMode(argv[1]) != kNoHandOff)
        FillInputList(argc, argv, &unread);
}

}  // namespace

void RemoveCurrentFolderFromDllSearch()
{
    // Search the program's folder, the Windows folder and the system folder
    // only. An empty SetDllDirectory does the same on Windows but not on every
    // platform that runs the program, and is the fallback where the default
    // directories cannot be set.
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesEntry)(DWORD);
    typedef PVOID(WINAPI * AddDllDirectoryEntry)(PCWSTR);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesEntry setDefaultDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesEntry>(GetProcAddress(kernel, "SetDefaultDllDirectories"));
    AddDllDirectoryEntry addDirectory =
        reinterpret_cast<AddDllDirectoryEntry>(GetProcAddress(kernel, "AddDllDirectory"));
    if (setDefaultDirectories != NULL && addDirectory != NULL)
    {
        wchar_t windowsFolder[MAX_PATH];
        UINT length = GetWindowsDirectoryW(windowsFolder, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            addDirectory(windowsFolder);
        if (setDefaultDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_USER_DIRS |
                                  LOAD_LIBRARY_SEARCH_SYSTEM32))
            return;
    }
    SetDllDirectoryA("");
}

void BindFormatsToSettings()
{
    CSettingsFormats formats;
    formats.FindIdByName = [](const char* name) { return FindFormatIdByName(name); };
    formats.NameOf = [](int id) {
        CArc* arc = FindFormat(id);
        return arc ? std::string(arc->GetName()) : std::string();
    };
    formats.IsUsable = [](int id) {
        CArc* arc = FindFormat(id);
        return arc != nullptr && arc->IsUsed() != 0;
    };
    formats.ReadAll = [](int layoutVersion, const char* iniPath) {
        for (const auto& entry : GetFormatRegistry())
            entry.second->ReadSettings(layoutVersion, iniPath);
    };
    // Every builder writes even after one has failed: the save is dropped as
    // a whole anyway, and each builder's result stays its own.
    formats.WriteAll = [](CIniFile& ini) {
        bool written = true;
        for (const auto& entry : GetFormatRegistry())
            written &= entry.second->WriteSettings(ini) != 0;
        return written;
    };
    SetSettingsFormats(formats);
}

void SaveSettingsOrReport()
{
    std::string file;
    if (!SaveSettings(&file))
        ShowErrorMessage(NULL, FormatText(kSaveFailedFormat, file.c_str()).c_str());
}

int EnsureUsableDefaultFormat(bool settingsLoaded)
{
    int& format = g_appSetting.DefaultArcType;
    CArc* current = FindFormat(format);
    if (current != nullptr && current->IsUsed())
        return format;
    int replacement = FindFirstUsedFormatId();
    format = replacement;
    // The settings file named a format that is missing or switched off.
    if (settingsLoaded && replacement != kNoFormat)
    {
        char text[1024];
        snprintf(text, sizeof(text), kDefaultFormatReplacedFormat, FindFormat(replacement)->GetDisplayName());
        ShowErrorMessage(NULL, text);
    }
    return format;
}

int RunProgram(int argc, wchar_t** argv)
{
    RemoveCurrentFolderFromDllSearch();
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    if (RegisterAllFormats() <= 0)
    {
        DiscardHandOff(argc, argv);
        ShowErrorMessage(NULL, kNoArchiverMessage);
        return kExitNoArchiver;
    }
    BindFormatsToSettings();

    bool settingsLoaded = LoadSettings();
    EnsureUsableDefaultFormat(settingsLoaded);

    int exitCode = 0;
    int runResult = argc < 2 ? RunSettingsMode() : RunCompressMode(argc, argv, &exitCode);
    if (runResult == kRunResultSave)
        SaveSettingsOrReport();
    DestroyAllFormats();
    return exitCode;
}
