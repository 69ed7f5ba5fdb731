#pragma once

#include "bridges/core/HostPlan.h"
#include "common/ArchiverApi.h"

#include <windows.h>

#include <initializer_list>

// The one command entry all bridges share: translate, run the host tools,
// check the archive, put the text into the caller's buffer. Returns 0 only
// when every tool succeeded and the archive holds what it should. Never
// throws: it is called across a DLL boundary.
typedef void (*BridgeTranslation)(const std::string& line, CHostPlan* plan);
int RunBridgeCommand(HWND owner, LPCSTR line, LPSTR output, DWORD size, BridgeTranslation translate);

// The <Prefix>SetUnicodeMode entry of the bridges whose tools store every
// name exactly: TRUE, the mode taken.
BOOL SetBridgeUnicodeMode(BOOL on);

// The DllMain of every bridge: keeps the module, and refuses the load when a
// host program the bridge needs is missing, so its formats are not offered.
BOOL AttachBridge(HINSTANCE instance, DWORD reason, std::initializer_list<const char*> tools);

// The bridges' own version (times 100), reported by every version entry.
const WORD kBridgeVersion = 100;
