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

// Info-ZIP stores the host's UTF-8 names, and the bridge sets the UTF-8 flag
// on the new entries afterwards, so every name is stored exactly.
BRIDGE_EXPORT BOOL WINAPI ZipSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

BRIDGE_EXPORT WORD WINAPI ZipGetVersion() { return kBridgeVersion; }
BRIDGE_EXPORT int WINAPI ZipQueryFunctionList(int function) { return function == kFunctionCommand ? 1 : 0; }
// Info-ZIP on the host encrypts (-P).
BRIDGE_EXPORT int WINAPI ZipQueryEncryption() { return 1; }
