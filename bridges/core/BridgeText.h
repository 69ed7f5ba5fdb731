#pragma once

#include "common/TextConvert.h"

#include <windows.h>

#include <string>

// Text helpers of the bridges: the program speaks Shift_JIS, the host tools
// speak UTF-8 (the conversions between them are common/TextConvert.h's).
// Nothing here needs a window.

// The program's text: Shift_JIS, or UTF-8 while the DLL is in its UTF-8 mode
// (BridgeDll.h), in which the command line, the list files and the text put
// into the caller's buffer are UTF-8.
bool ProgramTextIsUtf8();
std::wstring ProgramToWide(const std::string& text);
// Characters without a Shift_JIS form become "?" outside the UTF-8 mode.
std::string WideToProgram(const std::wstring& text);
std::string ProgramToUtf8(const std::string& text);
std::string Utf8ToProgram(const std::string& text);
// One of the bridges' messages (BridgeMessages.h, Shift_JIS) in the program's text.
std::string ProgramMessage(const char* shiftJis);
// The same with its one %s filled in with detail (program text).
std::string ProgramMessage(const char* shiftJis, const std::string& detail);
// The next character of program text; a UTF-8 byte above ASCII never stands
// for a separator, so it is stepped over alone.
const char* NextProgramChar(const char* text);
// Whether the text ends in a separator backslash of its own (not a trail byte).
bool EndsWithProgramSeparator(const std::string& text);

// A relative name of program text with "/" for each separator backslash.
std::string ToHostRelativeName(const std::string& programName);

// What a terminal would show of a tool's output: backspaces and carriage
// returns (7zz redraws its percentage with them) overwrite, line ends become
// CR LF for the multi-line edit that shows the text.
std::string TerminalText(const std::string& raw);
// The last line that is not empty of TerminalText(raw), for the progress window.
std::string LastLine(const std::string& raw);

// Copies text into the caller's buffer: cut at a whole character so that no
// lead byte is left without its trail, always terminated when size > 0.
void CopyToOutput(const std::string& text, char* output, DWORD size);

// Whether the host side decodes the arguments as UTF-8: the locale the Wine
// process runs under, from LC_ALL, then LC_CTYPE, then LANG.
bool IsUtf8Locale(const std::string& lcAll, const std::string& lcCtype, const std::string& lang);
bool ProcessHasUtf8Locale();

// Every byte as a three-digit octal escape for printf %b of /bin/sh, so raw
// Shift_JIS bytes reach a tool that takes bytes (Info-ZIP's -P), unchanged by
// the UTF-8 conversion every argument goes through.
std::string OctalEscapes(const std::string& bytes);
