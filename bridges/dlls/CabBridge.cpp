// Cab32.dll on a Linux host: CAB through gcab (MSZIP or none).
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand Cab;
ARCHIVER_EXPORT ArchiverSetUnicodeMode CabSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion CabGetVersion;
ARCHIVER_EXPORT ArchiverOpenArchive CabOpenArchive;
ARCHIVER_EXPORT ArchiverHandleQuery CabCloseArchive;
ARCHIVER_EXPORT ArchiverHandleQuery CabIsSFXFile;
ARCHIVER_EXPORT ArchiverCheckArchive CabCheckArchive;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "xargs", "gcab"});
}

ARCHIVER_EXPORT int WINAPI Cab(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateCab);
}

// gcab stores a name that is not ASCII in UTF-8 with the cabinet's
// name-is-UTF-8 attribute, which readers decode: every name is stored exactly.
ARCHIVER_EXPORT BOOL WINAPI CabSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

ARCHIVER_EXPORT WORD WINAPI CabGetVersion() { return kBridgeVersion; }

// Reading archives is not bridged: these entries are there because the
// program counts the DLL as installed only with them, and they answer
// "cannot" (no handle, not an archive, not self-extracting).
ARCHIVER_EXPORT HANDLE WINAPI CabOpenArchive(HWND, LPCSTR, DWORD) { return NULL; }
ARCHIVER_EXPORT int WINAPI CabCloseArchive(HANDLE) { return -1; }
ARCHIVER_EXPORT int WINAPI CabIsSFXFile(HANDLE) { return 0; }
ARCHIVER_EXPORT BOOL WINAPI CabCheckArchive(LPCSTR, int) { return FALSE; }
