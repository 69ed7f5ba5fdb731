#pragma once

#include <windows.h>

// Exit code when no archive format can be offered.
const int kExitNoArchiver = -1;

// The whole run of the program from its arguments to its exit code.
int RunProgram(int argc, char** argv);

// Keeps the current folder, which may be the very folder being packed, out of
// the DLL search order; the program's own folder still comes first.
void RemoveCurrentFolderFromDllSearch();

// Makes the default format usable (Startup step 4); settingsLoaded tells
// whether a settings file was read. Returns the format id now set.
int EnsureUsableDefaultFormat(bool settingsLoaded, HWND owner);
