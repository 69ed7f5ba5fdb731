#pragma once

#include <string>
#include <vector>

// Splits a wide command line into its arguments by the rules of the system's
// own splitting (CommandLineToArgvW), without the shell's DLL, which the
// program maps only when it needs it:
// - the first argument, the program, ends at the first blank, or is quoted
//   whole with no escapes at all;
// - in the others, 2n backslashes before a quote are n backslashes and the
//   quote opens or closes a quoted part; 2n+1 backslashes before a quote are n
//   backslashes and a literal quote; backslashes before anything else stay;
// - in a run of quotes, every third one is a literal quote, and a run that
//   ends on its second leaves the quoted part;
// - blanks (space, tab) outside quotes separate arguments.
// An empty command line gives the program's own path as its one argument.
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);
