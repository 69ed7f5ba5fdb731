#pragma once

#include <string>

// The DLL's text: what its entries take and give (command line, list files,
// output, listing names) is in the ANSI code page, or UTF-8 once the caller
// switched the DLL's UTF-8 mode on. The mode is one switch for the loaded
// module, as the other archiver DLLs keep it.
void SetDllUnicodeMode(bool on);
bool IsDllUnicodeModeOn();
// Text of the DLL's mode to UTF-16 and back; characters without a form in
// the ANSI code page become '?' on the way out.
std::wstring FromDllText(const std::string& text);
std::string ToDllText(const std::wstring& text);
