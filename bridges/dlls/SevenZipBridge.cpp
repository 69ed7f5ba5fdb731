// 7-Zip32.dll on a Linux host: 7z and ZIP through 7zz.
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand SevenZip;
ARCHIVER_EXPORT ArchiverSetUnicodeMode SevenZipSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion SevenZipGetVersion;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "7zz"});
}

ARCHIVER_EXPORT int WINAPI SevenZip(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateSevenZip);
}

// 7zz stores every name exactly: in a 7z as it is, in a ZIP as UTF-8 with
// the UTF-8 flag.
ARCHIVER_EXPORT BOOL WINAPI SevenZipSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

// At most 3.12: with no module beside it the program then offers no 7z
// self-extracting format, which 7zz of the host cannot make.
ARCHIVER_EXPORT WORD WINAPI SevenZipGetVersion() { return kBridgeVersion; }
