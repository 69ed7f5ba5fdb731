// Tessik7z.dll: the command entry and the module's own state. The listing
// and check entries live in ListingEntries.cpp.
#include "common/ArchiverApi.h"
#include "dllkit/CommandEntry.h"
#include "dllkit/DllText.h"
#include "tessik7z/SevenZipCommand.h"
#include "tessik7z/SevenZipWriter.h"

ARCHIVER_EXPORT ArchiverCommand Tessik7z;
ARCHIVER_EXPORT ArchiverGetVersion Tessik7zGetVersion;
ARCHIVER_EXPORT ArchiverSetUnicodeMode Tessik7zSetUnicodeMode;

namespace {

const WORD kVersion = 100;

HINSTANCE g_module = NULL;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// A 7z's add command (README, Command line).
ARCHIVER_EXPORT int WINAPI Tessik7z(HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize)
{
    CAddCommand<CSevenZipCommand, CSevenZipWriter, ParseSevenZipCommand> command;
    return RunCommandEntry(g_module, window, commandLine, output, outputSize, &command);
}

ARCHIVER_EXPORT WORD WINAPI Tessik7zGetVersion() { return kVersion; }

ARCHIVER_EXPORT BOOL WINAPI Tessik7zSetUnicodeMode(BOOL on)
{
    SetDllUnicodeMode(on != FALSE);
    return TRUE;
}
