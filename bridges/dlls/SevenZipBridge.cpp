// 7-Zip32.dll on a Linux host: 7z and ZIP through 7zz.
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand SevenZip;
ARCHIVER_EXPORT ArchiverSetUnicodeMode SevenZipSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion SevenZipGetVersion;

namespace {
HINSTANCE g_instance = NULL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
    return HostToolsPresent({"sh", "timeout", "7zz"}) ? TRUE : FALSE;
}

ARCHIVER_EXPORT int WINAPI SevenZip(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(g_instance, window, line, output, size, TranslateSevenZip);
}

// 7zz stores every name exactly: in a 7z as it is, in a ZIP as UTF-8 with
// the UTF-8 flag.
ARCHIVER_EXPORT BOOL WINAPI SevenZipSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

// At most 3.12: with no module beside it the program then offers no 7z
// self-extracting format, which 7zz of the host cannot make.
ARCHIVER_EXPORT WORD WINAPI SevenZipGetVersion() { return kBridgeVersion; }
