#include "app/Startup.h"

#include "app/InputList.h"
#include "archivers/FormatRegistry.h"
#include "settings/AppSetting.h"
#include "ui/Messages.h"

#include <commctrl.h>

#include <stdio.h>

#if __has_include("settings/SettingsFile.h")
#include "settings/SettingsFile.h"
#define TESSIK_HAS_SETTINGS_FILE 1
#endif

namespace {

const char kNoArchiverMessage[] =
    "アーカイバーDLLがインストールされていません。\n"
    "起動には対応形式のアーカイバーDLLが少なくとも1種類必要です。\n"
    "詳しくは、ヘルプをご覧ください";
const char kDefaultFormatReplacedFormat[] =
    "デフォルトの圧縮形式として指定された形式は、無効です。\nデフォルトの圧縮形式を%sに変更しました。";

// Run result that asks for the settings to be written back.
const int kRunResultSave = 1;
const int kRunResultDiscard = 2;

bool LoadStoredSettings()
{
#ifdef TESSIK_HAS_SETTINGS_FILE
    return LoadSettings();
#else
    return false;
#endif
}

void SaveStoredSettings()
{
#ifdef TESSIK_HAS_SETTINGS_FILE
    SaveSettings();
#endif
}

// Settings mode and its message loop come with the settings dialog; until
// then the run ends without writing anything.
int RunSettingsMode()
{
    return kRunResultDiscard;
}

// The compress dialog runs here once it exists; until then compress mode ends
// after filling the input list, without writing the settings.
int RunCompressMode(int argc, char** argv)
{
    FillInputList(argc, argv, &g_inputList);
    return kRunResultDiscard;
}

}  // namespace

void RemoveCurrentFolderFromDllSearch()
{
    // An empty DLL directory drops the current folder from the search order.
    SetDllDirectoryA("");
}

int EnsureUsableDefaultFormat(bool settingsLoaded, HWND owner)
{
    int& format = g_appSetting.DefaultArcType;
    int replacement = FindFirstUsedFormatId();
    if (settingsLoaded)
    {
        if (format == kNoFormat && replacement != kNoFormat)
        {
            format = replacement;
            char text[1024];
            snprintf(text, sizeof(text), kDefaultFormatReplacedFormat, FindFormat(replacement)->GetDisplayName());
            ShowErrorMessage(owner, text);
        }
        return format;
    }
    CArc* current = FindFormat(format);
    if (format == kNoFormat || current == nullptr || !current->IsUsed())
        format = replacement;
    return format;
}

int RunProgram(int argc, char** argv)
{
    RemoveCurrentFolderFromDllSearch();
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);

    if (RegisterAllFormats() <= 0)
    {
        ShowErrorMessage(NULL, kNoArchiverMessage);
        return kExitNoArchiver;
    }

    bool settingsLoaded = LoadStoredSettings();
    EnsureUsableDefaultFormat(settingsLoaded, NULL);

    int runResult = argc < 2 ? RunSettingsMode() : RunCompressMode(argc, argv);
    if (runResult == kRunResultSave)
        SaveStoredSettings();
    DestroyAllFormats();
    return 0;
}
