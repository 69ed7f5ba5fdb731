#pragma once

#include <windows.h>

#include <string>

// The program's name in titles and texts.
extern const char kProgramName[];
// Message box titles of the program.
extern const char kErrorTitle[];
extern const char kConfirmTitle[];
extern const char kInfoTitle[];

// A text of the program's string table (at most 1023 characters).
std::string LoadResourceString(UINT id);
// The string-table text id formatted with one string argument.
std::string FormatResourceString(UINT id, const char* argument);
// An error message box ("エラー  - Tessik", error icon) owned by owner.
int ShowErrorMessage(HWND owner, const char* text);
int ShowErrorMessage(HWND owner, UINT stringId);
