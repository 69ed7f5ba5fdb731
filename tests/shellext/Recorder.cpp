// Test tool: stands in for the main program. Writes its arguments, one per
// line ("\n"), to "recorded-args.txt" beside itself, so a test can see exactly
// how it was started. The file appears whole (written, then renamed).
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
    snprintf(partial, sizeof(partial), "%s\\recorded-args.part", path);
    snprintf(final, sizeof(final), "%s\\recorded-args.txt", path);
    FILE* file = fopen(partial, "wb");
    if (file == NULL)
        return 1;
    for (int i = 1; i < __argc; ++i)
        fprintf(file, "%s\n", __argv[i]);
    fclose(file);
    return MoveFileExA(partial, final, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
