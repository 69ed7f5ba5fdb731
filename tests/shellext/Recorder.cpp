// Test tool: stands in for the main program. Every run writes its arguments,
// one per line ("\n"), to "recorded-<process id>.txt" beside itself, so a test
// sees how often and how exactly it was started. A file appears whole (written,
// then renamed).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Its own folder by the wide path: it may lie beyond the ANSI code page.
    wchar_t path[1024];
    DWORD length = GetModuleFileNameW(NULL, path, sizeof(path) / sizeof(path[0]));
    if (length == 0 || length >= sizeof(path) / sizeof(path[0]))
        return 1;
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash == NULL)
        return 1;
    *slash = L'\0';

    wchar_t partial[1100];
    wchar_t final[1100];
    swprintf(partial, sizeof(partial) / sizeof(partial[0]), L"%ls\\recorded-%lu.part", path,
             GetCurrentProcessId());
    swprintf(final, sizeof(final) / sizeof(final[0]), L"%ls\\recorded-%lu.txt", path, GetCurrentProcessId());
    FILE* file = _wfopen(partial, L"wb");
    if (file == NULL)
        return 1;
    for (int i = 1; i < __argc; ++i)
        fprintf(file, "%s\n", __argv[i]);
    fclose(file);
    return MoveFileExW(partial, final, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
