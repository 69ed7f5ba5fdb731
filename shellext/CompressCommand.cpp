#include "shellext/CompressCommand.h"

#include "common/HandOff.h"
#include "common/PathUtil.h"
#include "common/RegistryKey.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"
#include "common/TextFormat.h"
#include "shellext/HandOffFile.h"
#include "shellext/ShellExtGuid.h"

#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

namespace {

// At most this many bytes of the selection appear in a message.
const size_t kShownSelectionSize = 2048;

const char kNoRegistryText[] = "Tessikを起動できません\nTessikの実行ファイルがある場所が不明です\n";
const char kNoRegistryTitle[] = "Tessik - RegOpenKeyエラー";
const char kOpenFileFormat[] =
    "ファイルリストを作成できませんでした。\n\nfile : %s\nfilelist : %s\nselection : %s";
const char kOpenFileTitle[] = "Tessik - OpenFileエラー";
const char kStartFormat[] = "Tessikの起動に失敗しました。code : %d\n\n呼び出そうとした実行ファイル\nfile : %.2048s";
const char kStartTitle[] = "Tessik - ShellExecuteエラー";

// The first bytes of text up to limit, never ending inside a double-byte character.
std::string CutAtCharacter(const std::string& text, size_t limit)
{
    return text.substr(0, WholeCharPrefixLength(text.c_str(), limit));
}

// Shown from inside the file manager's process: no owner window.
void ShowError(const std::string& text, const char* title)
{
    MessageBoxA(NULL, text.c_str(), title, MB_OK | MB_ICONERROR);
}

}  // namespace

void RunCompressCommand(const std::vector<std::wstring>& paths, const char* token)
{
    std::string bytes = HandOffFileBytes(paths);

    // The user's own classes first, then the machine's, as HKEY_CLASSES_ROOT
    // merges them on Windows (not every platform that runs it does).
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, (std::string("Software\\Classes\\") + kShellExtClassKey).c_str(), 0) !=
            ERROR_SUCCESS &&
        key.Open(HKEY_CLASSES_ROOT, kShellExtClassKey, 0) != ERROR_SUCCESS)
    {
        ShowError(kNoRegistryText, kNoRegistryTitle);
        return;
    }
    // A missing value leaves the path empty; starting it then fails with a
    // message. Read wide: the program's folder may hold names beyond the ANSI
    // code page. The messages show it in ANSI ("?" for such names).
    std::wstring programPath;
    key.ReadString(kProgramPathValue, &programPath, kPathBufferSize - 1);
    key.Close();
    std::string shownProgramPath = WideToShiftJis(programPath);

    std::wstring handOffPath;
    if (!WriteNewHandOffFile(bytes, &handOffPath))
    {
        // The message is ANSI text: a name beyond it shows with "?".
        std::wstring selection;
        for (const std::wstring& path : paths)
            selection += path + L"\r\n";
        ShowError(FormatText(kOpenFileFormat, shownProgramPath.c_str(), WideToShiftJis(handOffPath).c_str(),
                             CutAtCharacter(WideToShiftJis(selection), kShownSelectionSize).c_str()),
                  kOpenFileTitle);
        return;
    }

    // The path never holds a quote, and it ends in ".tmp", so no backslash
    // stands before the closing quote. Started wide: the temporary folder may
    // hold a name beyond the ANSI code page.
    std::wstring parameters = AnsiToWide(token) + L" \"" + handOffPath + L"\"";
    INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(NULL, NULL, programPath.c_str(), parameters.c_str(), NULL, SW_SHOWNORMAL));
    if (result <= 32)
    {
        // No program will read this file, and its name is ours alone: nothing
        // else would ever remove it.
        DeleteFileW(handOffPath.c_str());
        ShowError(FormatText(kStartFormat, static_cast<int>(result), shownProgramPath.c_str()), kStartTitle);
    }
}
