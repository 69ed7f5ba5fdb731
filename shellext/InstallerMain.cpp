#include "common/PathUtil.h"
#include "shellext/Registration.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kTitle[] = "Tessik shellextention installer for x64(AMD64/EM64T)";
const char kInstalledText[] = "インストールが完了しました。";
const char kInstallFailedText[] =
    "インストールに失敗しました。\nレジストリに書き込めませんでした。管理者として実行してください。";
const char kUninstalledText[] = "アンインストールが完了しました。";
const char kRegisteredText[] = "インストール済み";
const char kNotRegisteredText[] = "未インストール";
const char kNoArgumentText[] =
    "引数が指定されていません。\n\nインストール     :  tessikshlex_install_x64.exe /install\n"
    "アンインストール :  tessikshlex_install_x64.exe /uninstall\n";
const char kBadArgumentText[] =
    "引数が不正です。\n\nインストール     :  tessikshlex_install_x64.exe /install\n"
    "アンインストール :  tessikshlex_install_x64.exe /uninstall\n";


void ShowMessage(bool silent, const char* text, UINT icon)
{
    if (!silent)
        MessageBoxA(NULL, text, kTitle, MB_OK | icon);
}

int Install(bool silent)
{
    std::wstring folder;
    int result = GetModuleFolder(NULL, &folder) ? RegisterShellExtension(folder) : 0;
    // Without the rights to write the keys nothing works: the user must not
    // be told otherwise.
    if (result)
        ShowMessage(silent, kInstalledText, MB_ICONINFORMATION);
    else
        ShowMessage(silent, kInstallFailedText, MB_ICONERROR);
    return result;
}

int Uninstall(bool silent)
{
    int result = UnregisterShellExtension();
    ShowMessage(silent, kUninstalledText, MB_ICONINFORMATION);
    return result;
}

int ShowStatus(bool silent)
{
    int result = IsShellExtensionRegistered();
    ShowMessage(silent, result ? kRegisteredText : kNotRegisteredText, MB_ICONINFORMATION);
    return result;
}

}  // namespace

// No window of its own: the work happens before any message loop would run.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
    {
        ShowMessage(false, kNoArgumentText, MB_ICONERROR);
        return 0;
    }
    const char* command = __argv[1];
    bool silent = __argc > 2 && strcmp(__argv[2], "/silent") == 0;
    if (strcmp(command, "/install") == 0)
        return Install(silent);
    if (strcmp(command, "/uninstall") == 0)
        return Uninstall(silent);
    if (strcmp(command, "/status") == 0)
        return ShowStatus(silent);
    ShowMessage(silent, kBadArgumentText, MB_ICONERROR);
    return 0;
}
