// The system DLLs the program needs only once its first dialog shows, or on
// demand, are delay-loaded: neither tessik.exe nor this test program (linked
// the same way) imports them at start, and every function the program takes
// from them binds at its first call through the delay thunks.
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const kDelayed[] = {"shell32.dll", "ole32.dll", "comdlg32.dll"};

// The DLL names of a mapped image's import directory, lower case.
std::vector<std::string> ImportedDlls(HMODULE image)
{
    const BYTE* base = reinterpret_cast<const BYTE*>(image);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::string> names;
    if (entry.VirtualAddress == 0)
        return names;
    for (const IMAGE_IMPORT_DESCRIPTOR* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + entry.VirtualAddress);
         import->Name != 0; ++import)
    {
        std::string name = reinterpret_cast<const char*>(base + import->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(tolower(c)); });
        names.push_back(name);
    }
    return names;
}

// Cancels the folder dialog as soon as it shows.
int CALLBACK CancelAtOnce(HWND dialog, UINT message, LPARAM, LPARAM)
{
    if (message == BFFM_INITIALIZED)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

// Cancels the file dialog as soon as it shows (the hook is a child of it).
UINT_PTR CALLBACK CancelFileDialog(HWND hook, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG)
        PostMessageA(GetParent(hook), WM_COMMAND, IDCANCEL, 0);
    return 0;
}

// A file dialog shown and cancelled: FALSE with no error.
bool CancelledFileDialog(BOOL(WINAPI* show)(OPENFILENAMEA*))
{
    char file[MAX_PATH] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof(file);
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK;
    dialog.lpfnHook = CancelFileDialog;
    return show(&dialog) == FALSE && CommDlgExtendedError() == 0;
}

}  // namespace

TEST(DelayedImports, NeitherProgramImportsThemAtStart)
{
    // TessikZip.dll and Tessik7z.dll, mapped at every start of the program,
    // take bcrypt only for a password (their tests call every function they
    // take from it).
    const char* const kDelayedByZip[] = {"bcrypt.dll"};
    const struct
    {
        std::string program;
        std::vector<const char*> delayed;
    } cases[] = {
        {TestExeFolder() + "\\tessik.exe", {std::begin(kDelayed), std::end(kDelayed)}},
        {std::string(), {std::begin(kDelayed), std::end(kDelayed)}},
        {TestExeFolder() + "\\tessikzip\\TessikZip.dll", {std::begin(kDelayedByZip), std::end(kDelayedByZip)}},
        {TestExeFolder() + "\\tessik7z\\Tessik7z.dll", {std::begin(kDelayedByZip), std::end(kDelayedByZip)}},
    };
    for (const auto& c : cases)
    {
        const std::string& program = c.program;
        HMODULE image = program.empty() ? GetModuleHandleA(NULL)
                                        : LoadLibraryExA(program.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(nullptr, image) << program;
        std::vector<std::string> imported = ImportedDlls(image);
        EXPECT_NE(imported.end(), std::find(imported.begin(), imported.end(), "user32.dll")) << program;
        for (const char* dll : c.delayed)
            EXPECT_EQ(imported.end(), std::find(imported.begin(), imported.end(), dll))
                << (program.empty() ? "this test program" : program) << " imports " << dll;
        if (!program.empty())
            FreeLibrary(image);
    }
}

// Every function of the delay-loaded DLLs the program calls, each called once
// with arguments whose result is known.
TEST(DelayedImports, EveryFunctionBindsAtItsFirstCall)
{
    CTestFolder folder;
    const struct
    {
        const char* function;
        std::function<bool()> call;
    } rows[] = {
        {"SHGetFolderPathW",
         [] {
             wchar_t path[MAX_PATH];
             return SUCCEEDED(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, path)) && path[0] != 0;
         }},
        {"SHGetSpecialFolderPathA",
         [] {
             char path[MAX_PATH];
             return SHGetSpecialFolderPathA(NULL, path, CSIDL_PERSONAL, FALSE) != FALSE;
         }},
        {"SHBrowseForFolderA, SHGetPathFromIDListA",
         [] {
             BROWSEINFOA info = {};
             info.ulFlags = BIF_RETURNONLYFSDIRS;
             info.lpfn = CancelAtOnce;
             LPITEMIDLIST cancelled = SHBrowseForFolderA(&info);
             char path[MAX_PATH] = "unchanged";
             return cancelled == NULL && SHGetPathFromIDListA(NULL, path) == FALSE;
         }},
        {"ShellExecuteA",
         [&folder] {
             std::string missing = folder / "no such file.txt";
             INT_PTR result =
                 reinterpret_cast<INT_PTR>(ShellExecuteA(NULL, "open", missing.c_str(), NULL, NULL, SW_SHOWNORMAL));
             return result <= 32;
         }},
        {"CoInitializeEx, CoUninitialize, CoTaskMemFree",
         [] {
             HRESULT result = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
             CoTaskMemFree(NULL);
             if (SUCCEEDED(result))
                 CoUninitialize();
             return SUCCEEDED(result);
         }},
        {"GetOpenFileNameA", [] { return CancelledFileDialog(GetOpenFileNameA); }},
        {"GetSaveFileNameA", [] { return CancelledFileDialog(GetSaveFileNameA); }},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(row.call()) << row.function;
}
