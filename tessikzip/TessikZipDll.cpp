// TessikZip.dll: the command entry and the module's own state. The listing
// and check entries live in ListingEntries.cpp.
#include "common/ArchiverApi.h"
#include "dllkit/CommandEntry.h"
#include "dllkit/DllText.h"
#include "tessikzip/ZipCommand.h"
#include "tessikzip/ZipWriter.h"

ARCHIVER_EXPORT ArchiverCommand TessikZip;
ARCHIVER_EXPORT ArchiverGetVersion TessikZipGetVersion;
ARCHIVER_EXPORT ArchiverSetUnicodeMode TessikZipSetUnicodeMode;

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

// A ZIP's add command (README, Command line).
ARCHIVER_EXPORT int WINAPI TessikZip(HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize)
{
    CAddCommand<CZipCommand, CZipWriter, ParseZipCommand> command;
    return RunCommandEntry(g_module, window, commandLine, output, outputSize, &command);
}

ARCHIVER_EXPORT WORD WINAPI TessikZipGetVersion() { return kVersion; }

ARCHIVER_EXPORT BOOL WINAPI TessikZipSetUnicodeMode(BOOL on)
{
    SetDllUnicodeMode(on != FALSE);
    return TRUE;
}
