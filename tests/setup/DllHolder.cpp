// Holds one DLL loaded, as the file manager holds the context-menu extension,
// while the setup test (tests/setup/SetupTest.sh) upgrades over it.
//
//   setup_dllholder.exe <dll> <ready file> <release file>
//
// Loads the DLL, creates the ready file, then keeps the DLL loaded until the
// release file appears (or two minutes have passed, so that a test that
// failed half-way leaves no process behind). Exit code 0 when the DLL was
// loaded and released on request, 1 when it could not be loaded, 2 when it
// was given up by the time bound.
#include <windows.h>
#include <stdio.h>

namespace {

const DWORD kHoldBoundMs = 120000;
// How often the release file is looked for; the test waits on the holder's
// end, never on this interval.
const DWORD kLookIntervalMs = 50;

bool Exists(const wchar_t* path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
    {
        fprintf(stderr, "usage: setup_dllholder <dll> <ready file> <release file>\n");
        return 1;
    }
    HMODULE module = LoadLibraryW(argv[1]);
    if (module == NULL)
    {
        fprintf(stderr, "dllholder: cannot load the DLL (error %lu)\n", GetLastError());
        return 1;
    }
    HANDLE ready = CreateFileW(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (ready == INVALID_HANDLE_VALUE)
    {
        FreeLibrary(module);
        return 1;
    }
    CloseHandle(ready);
    DWORD start = GetTickCount();
    while (!Exists(argv[3]))
    {
        if (GetTickCount() - start > kHoldBoundMs)
        {
            FreeLibrary(module);
            return 2;
        }
        Sleep(kLookIntervalMs);
    }
    FreeLibrary(module);
    return 0;
}
