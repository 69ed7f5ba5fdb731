// Zip32j.dll on a Linux host: ZIP through Info-ZIP zip.
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand Zip;
ARCHIVER_EXPORT ArchiverSetUnicodeMode ZipSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion ZipGetVersion;
ARCHIVER_EXPORT ArchiverQueryFunctionList ZipQueryFunctionList;
ARCHIVER_EXPORT ArchiverQueryEncryption ZipQueryEncryption;

namespace {
// Function numbers of ZipQueryFunctionList: only the command itself.
const int kFunctionCommand = 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "zip"});
}

ARCHIVER_EXPORT int WINAPI Zip(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateZip32j);
}

// Info-ZIP stores the host's UTF-8 names, and the bridge sets the UTF-8 flag
// on the new entries afterwards, so every name is stored exactly.
ARCHIVER_EXPORT BOOL WINAPI ZipSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

ARCHIVER_EXPORT WORD WINAPI ZipGetVersion() { return kBridgeVersion; }
ARCHIVER_EXPORT int WINAPI ZipQueryFunctionList(int function) { return function == kFunctionCommand ? 1 : 0; }
// Info-ZIP on the host encrypts (-P).
ARCHIVER_EXPORT int WINAPI ZipQueryEncryption() { return 1; }
