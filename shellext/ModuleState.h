#pragma once

#include <windows.h>

// State of the loaded extension module: its instance handle and the number of
// live COM objects (class factories and extension objects) that keep it loaded.
extern HINSTANCE g_moduleInstance;

void AddLiveObject();
void RemoveLiveObject();
LONG LiveObjectCount();
