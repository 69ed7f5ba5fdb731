// Test tool: stands in for the main program. Every run writes its arguments,
// one per line ("\n"), to "recorded-<process id>.txt" beside itself, so a test
// sees how often and how exactly it was started. A file appears whole (written,
// then renamed).
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[1024];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return 1;
    char* slash = strrchr(path, '\\');
    if (slash == NULL)
        return 1;
    *slash = '\0';

    char partial[1100];
    char final[1100];
    snprintf(partial, sizeof(partial), "%s\\recorded-%lu.part", path, GetCurrentProcessId());
    snprintf(final, sizeof(final), "%s\\recorded-%lu.txt", path, GetCurrentProcessId());
    FILE* file = fopen(partial, "wb");
    if (file == NULL)
        return 1;
    for (int i = 1; i < __argc; ++i)
        fprintf(file, "%s\n", __argv[i]);
    fclose(file);
    return MoveFileExA(partial, final, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
