// zip32.dll, which Zip32j.dll needs beside it: here only a module that loads
// when the host's zip is there.
#include "bridges/core/BridgeRun.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverGetVersion ZipVersion;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"zip"});
}

ARCHIVER_EXPORT WORD WINAPI ZipVersion() { return kBridgeVersion; }
