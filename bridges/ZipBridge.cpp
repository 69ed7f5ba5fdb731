// Zip32j.dll on a Linux host: ZIP through Info-ZIP zip.
#include "bridges/BridgeRun.h"

#define BRIDGE_EXPORT extern "C" __declspec(dllexport)

namespace {
HINSTANCE g_instance = NULL;
// Function numbers of ZipQueryFunctionList: only the command itself.
const int kFunctionCommand = 0;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
    return HostToolsPresent({"sh", "timeout", "zip"}) ? TRUE : FALSE;
}

BRIDGE_EXPORT int WINAPI Zip(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(g_instance, window, line, output, size, TranslateZip32j);
}

BRIDGE_EXPORT WORD WINAPI ZipGetVersion() { return kBridgeVersion; }
BRIDGE_EXPORT int WINAPI ZipQueryFunctionList(int function) { return function == kFunctionCommand ? 1 : 0; }
// Info-ZIP on the host encrypts (-P).
BRIDGE_EXPORT int WINAPI ZipQueryEncryption() { return 1; }
