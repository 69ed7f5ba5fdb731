// A part of the start-up benchmark: a program that maps the same system DLLs
// as Tessik's main program (each import is referenced, so the linker keeps
// it) and ends at once. Against the bare program it gives what loading them
// costs before the first line of the program runs.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
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
    return 0;
}
