// A part of the start-up benchmark: a program linked with the same system
// DLLs as Tessik's main program, the same ones delay-loaded (each import is
// referenced, so the linker keeps it), and ends at once. Against the bare
// program it gives what loading the DLLs mapped at start costs before the
// first line of the program runs.
//
// With "dialog <module>" it shows the compress dialog's template from that
// module (Tessik's program) with a procedure that does nothing, and waits:
// the least the main program's start-up to its dialog can cost.
#include "resources/resource.h"
#include "tests/bench/IdleDialogProc.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    // Never true when started by the benchmark; the calls only bind the imports.
    if (lstrcmpA(arguments, "call-them") == 0)
    {
        char path[MAX_PATH];
        SHGetFolderPathA(NULL, CSIDL_APPDATA, NULL, 0, path);
        CoInitialize(NULL);
        InitCommonControls();
        OPENFILENAMEA open = {};
        GetOpenFileNameA(&open);
    }
    const char kDialog[] = "dialog ";
    if (CompareStringA(LOCALE_INVARIANT, 0, arguments, sizeof(kDialog) - 1, kDialog, sizeof(kDialog) - 1) !=
        CSTR_EQUAL)
        return 0;
    HMODULE program = LoadLibraryExA(arguments + sizeof(kDialog) - 1, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (program == NULL)
        return 1;
    return static_cast<int>(DialogBoxParamA(program, MAKEINTRESOURCEA(IDD_COMPRESS), NULL, IdleDialogProc, 0));
}
