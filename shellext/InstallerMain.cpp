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

int Install(bool silent, ERegistrationScope scope)
{
    std::wstring folder;
    int result = GetModuleFolder(NULL, &folder) ? RegisterShellExtension(folder, scope) : 0;
    // Without the rights to write the keys nothing works: the user must not
    // be told otherwise.
    if (result)
        ShowMessage(silent, kInstalledText, MB_ICONINFORMATION);
    else
        ShowMessage(silent, kInstallFailedText, MB_ICONERROR);
    return result;
}

int Uninstall(bool silent, ERegistrationScope scope)
{
    int result = UnregisterShellExtension(scope);
    ShowMessage(silent, kUninstalledText, MB_ICONINFORMATION);
    return result;
}

int ShowStatus(bool silent, ERegistrationScope scope)
{
    int result = IsShellExtensionRegistered(scope);
    ShowMessage(silent, result ? kRegisteredText : kNotRegisteredText, MB_ICONINFORMATION);
    return result;
}

// What the options after the command ask for; options it does not know are
// passed over, as they always were.
struct COptions
{
    bool silent = false;
    ERegistrationScope scope = ERegistrationScope::Classes;
};

COptions ReadOptions(int argc, char** argv)
{
    COptions options;
    for (int i = 2; i < argc; ++i)
    {
        if (strcmp(argv[i], "/silent") == 0)
            options.silent = true;
        else if (strcmp(argv[i], "/currentuser") == 0)
            options.scope = ERegistrationScope::CurrentUser;
        else if (strcmp(argv[i], "/allusers") == 0)
            options.scope = ERegistrationScope::AllUsers;
    }
    return options;
}

}  // namespace

// Commands: /install, /uninstall and /status, each followed by any of
// /silent (no message box), /currentuser (the user's own classes, no
// administrator rights) and /allusers (the machine's classes); without a scope
// the keys go to HKEY_CLASSES_ROOT.
// No window of its own: the work happens before any message loop would run.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
    {
        ShowMessage(false, kNoArgumentText, MB_ICONERROR);
        return 0;
    }
    const char* command = __argv[1];
    const COptions options = ReadOptions(__argc, __argv);
    if (strcmp(command, "/install") == 0)
        return Install(options.silent, options.scope);
    if (strcmp(command, "/uninstall") == 0)
        return Uninstall(options.silent, options.scope);
    if (strcmp(command, "/status") == 0)
        return ShowStatus(options.silent, options.scope);
    ShowMessage(options.silent, kBadArgumentText, MB_ICONERROR);
    return 0;
}
