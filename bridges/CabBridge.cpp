// Cab32.dll on a Linux host: CAB through gcab (MSZIP or none).
#include "bridges/BridgeRun.h"

#define BRIDGE_EXPORT extern "C" __declspec(dllexport)

namespace {
HINSTANCE g_instance = NULL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
    return HostToolsPresent({"sh", "timeout", "xargs", "gcab"}) ? TRUE : FALSE;
}

BRIDGE_EXPORT int WINAPI Cab(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(g_instance, window, line, output, size, TranslateCab);
}

// gcab stores a name that is not ASCII in UTF-8 with the cabinet's
// name-is-UTF-8 attribute, which readers decode: every name is stored exactly.
BRIDGE_EXPORT BOOL WINAPI CabSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

BRIDGE_EXPORT WORD WINAPI CabGetVersion() { return kBridgeVersion; }

// Reading archives is not bridged: these entries are there because the
// program counts the DLL as installed only with them, and they answer
// "cannot" (no handle, not an archive, not self-extracting).
BRIDGE_EXPORT HANDLE WINAPI CabOpenArchive(HWND, LPCSTR, DWORD) { return NULL; }
BRIDGE_EXPORT int WINAPI CabCloseArchive(HANDLE) { return -1; }
BRIDGE_EXPORT int WINAPI CabIsSFXFile(HANDLE) { return 0; }
BRIDGE_EXPORT BOOL WINAPI CabCheckArchive(LPCSTR, int) { return FALSE; }
