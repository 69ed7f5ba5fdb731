// The reference of the start-up benchmark: a Win32 program that shows one
// dialog (an in-memory template, so that no resource is involved) and waits.
// With the argument "exit" it ends at once: the bare cost of a process.
#include "tests/bench/IdleDialogProc.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    if (lstrcmpA(arguments, "exit") == 0)
        return 0;
    struct
    {
        DLGTEMPLATE header;
        WORD menu, windowClass;
        WCHAR title[15];
    } dialog = {};
    dialog.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER | DS_MODALFRAME;
    dialog.header.cx = 200;
    dialog.header.cy = 80;
    const wchar_t title[] = L"Trivial dialog";
    for (int i = 0; i < 15; ++i)
        dialog.title[i] = title[i];
    return static_cast<int>(DialogBoxIndirectParamW(instance, &dialog.header, NULL, IdleDialogProc, 0));
}
