// tessikshlex_install.exe, which the settings page starts: it tells whether the
// right-click menu is registered and offers to add it for the current user or
// to remove it again, without administrator rights. The menu is the 64-bit
// extension beside this program; the program itself is built for both
// architectures and ships as the 32-bit one.
#include "common/PathUtil.h"
#include "shellext/Registration.h"

#include <windows.h>

#include <string>

namespace {

const char kTitle[] = "Tessik 右クリックメニュー";
const wchar_t kExtensionName[] = L"tessikshlex_x64.dll";
const char kNeeds64BitText[] = "右クリックメニュー「Tessikで圧縮(&E)」は、64ビット版のWindowsでだけ使えます。";
const char kAskAddText[] =
    "右クリックメニュー「Tessikで圧縮(&E)」は登録されていません。\n\n"
    "このユーザーのメニューに登録しますか?\n(管理者の権限はいりません)";
const char kAskRemoveText[] =
    "右クリックメニュー「Tessikで圧縮(&E)」は、このユーザーに登録されています。\n\n登録を解除しますか?";
const char kForAllUsersText[] =
    "右クリックメニュー「Tessikで圧縮(&E)」は、すべてのユーザーに登録されています。\n\n"
    "解除するには、「アプリと機能」からTessikをアンインストールしてください。";
const char kAddedText[] =
    "右クリックメニューに登録しました。\n"
    "エクスプローラーでファイルを右クリックすると「Tessikで圧縮(&E)」が表示されます。";
const char kAddFailedText[] = "右クリックメニューに登録できませんでした。\nレジストリに書き込めませんでした。";
const char kNoExtensionText[] =
    "tessikshlex_x64.dll が、このプログラムと同じフォルダーにありません。\n右クリックメニューは登録できません。";
const char kRemovedText[] = "右クリックメニューの登録を解除しました。";

int Tell(const char* text, UINT icon)
{
    return MessageBoxA(NULL, text, kTitle, MB_OK | icon);
}

bool Ask(const char* text)
{
    return MessageBoxA(NULL, text, kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// A 32-bit program learns it from the system; a 64-bit one runs on nothing else.
bool IsWindows64Bit()
{
#ifdef _WIN64
    return true;
#else
    typedef BOOL(WINAPI * IsWow64ProcessEntry)(HANDLE, PBOOL);
    IsWow64ProcessEntry isWow64 = reinterpret_cast<IsWow64ProcessEntry>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process"));
    BOOL wow64 = FALSE;
    return isWow64 != NULL && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

void Add()
{
    std::wstring folder;
    if (!GetModuleFolder(NULL, &folder))
    {
        Tell(kAddFailedText, MB_ICONERROR);
        return;
    }
    // A menu whose DLL is not there would show nothing and say nothing.
    if (GetFileAttributesW((folder + L"\\" + kExtensionName).c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        Tell(kNoExtensionText, MB_ICONERROR);
        return;
    }
    if (!RegisterShellExtension(folder, ERegistrationScope::CurrentUser))
    {
        // The keys written before the one that failed must not stay behind.
        UnregisterShellExtension(ERegistrationScope::CurrentUser);
        Tell(kAddFailedText, MB_ICONERROR);
        return;
    }
    Tell(kAddedText, MB_ICONINFORMATION);
}

void Remove()
{
    UnregisterShellExtension(ERegistrationScope::CurrentUser);
    Tell(kRemovedText, MB_ICONINFORMATION);
}

}  // namespace

// The exit code is 1 when the menu is registered for the user as the program
// ends, 0 when it is not. Arguments are not read.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!IsWindows64Bit())
    {
        Tell(kNeeds64BitText, MB_ICONINFORMATION);
        return 0;
    }
    if (IsShellExtensionRegistered(ERegistrationScope::CurrentUser))
    {
        if (Ask(kAskRemoveText))
            Remove();
    }
    else if (IsShellExtensionRegistered(ERegistrationScope::AllUsers))
    {
        Tell(kForAllUsersText, MB_ICONINFORMATION);
    }
    else if (Ask(kAskAddText))
    {
        Add();
    }
    return IsShellExtensionRegistered(ERegistrationScope::CurrentUser);
}
