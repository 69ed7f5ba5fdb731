// Unlha32.dll on a Linux host: LZH through jlha (lh5, lh6, lh7).
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand Unlha;
ARCHIVER_EXPORT ArchiverGetVersion UnlhaGetVersion;
ARCHIVER_EXPORT ArchiverOpenArchive UnlhaOpenArchive;
ARCHIVER_EXPORT ArchiverHandleQuery UnlhaCloseArchive;
ARCHIVER_EXPORT ArchiverHandleQuery UnlhaIsSFXFile;
ARCHIVER_EXPORT ArchiverCheckArchive UnlhaCheckArchive;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "xargs", "jlha", "java"});
}

ARCHIVER_EXPORT int WINAPI Unlha(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateUnlha);
}

// No UnlhaSetUnicodeMode: LZH headers carry no mark that readers agree on for
// UTF-8 names, and Japanese LZH readers take the name bytes as Shift_JIS, so
// jlha cannot store such names in a form they decode. Without the entry the
// program refuses those names for LHA and names the formats that can.

ARCHIVER_EXPORT WORD WINAPI UnlhaGetVersion() { return kBridgeVersion; }

// Reading archives is not bridged: these entries are there because the
// program counts the DLL as installed only with them, and they answer
// "cannot" (no handle, not an archive, not self-extracting).
ARCHIVER_EXPORT HANDLE WINAPI UnlhaOpenArchive(HWND, LPCSTR, DWORD) { return NULL; }
ARCHIVER_EXPORT int WINAPI UnlhaCloseArchive(HANDLE) { return -1; }
ARCHIVER_EXPORT int WINAPI UnlhaIsSFXFile(HANDLE) { return 0; }
ARCHIVER_EXPORT BOOL WINAPI UnlhaCheckArchive(LPCSTR, int) { return FALSE; }
