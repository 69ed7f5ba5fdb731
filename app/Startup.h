#pragma once

#include <windows.h>

// Exit code when no archive format can be offered.
const int kExitNoArchiver = -1;
// Exit code of a one-archive-per-item run that did not make every archive,
// and of a job whose archive failed its read back.
const int kExitNotAllMade = 1;

// The whole run of the program from its arguments to its exit code. The
// arguments are wide, so that a path beyond the ANSI code page arrives whole.
int RunProgram(int argc, wchar_t** argv);

// Keeps the current folder, which may be the very folder being packed, out of
// the DLL search order: the program's own folder comes first, then the Windows
// and system folders.
void RemoveCurrentFolderFromDllSearch();

// Lets the settings file reach the registered format builders.
void BindFormatsToSettings();

// Writes the settings file; a file that cannot be written is named in a message.
void SaveSettingsOrReport();

// Makes the default format a registered format in use: silently without a
// settings file, with a message when the file named an unusable format.
// Returns the default format id, -1 when no format is in use at all.
int EnsureUsableDefaultFormat(bool settingsLoaded);
