#pragma once

#include <stddef.h>

#include <string>

// Conversions between the program's ANSI text (code page 932 on the systems
// it is made for), Shift_JIS, UTF-16 and UTF-8. Nothing here needs a window.
// The std::string forms convert every byte, NULs included; the const char*
// forms stop at the terminator. A text the platform cannot convert gives an
// empty result.

std::wstring AnsiToWide(const char* text);
std::wstring AnsiToWide(const std::string& text);

// The ANSI form of a wide name into buffer (size bytes, terminator counted),
// false when the code page has no exact form for it: "?" or a best-fit
// look-alike would name some other file, and an archiver reads "?" in a list
// file as a wildcard. Only a round trip that gives back the same characters
// proves the ANSI name names the same file.
bool ToExactAnsi(const wchar_t* wide, char* buffer, size_t size);
// The ANSI form of a wide text in which every character without an exact ANSI
// form (a surrogate pair counts as one) becomes replacement. For names shown
// or proposed in ANSI text: "?" would read as a wildcard, and a best-fit
// look-alike would pass for the real name.
std::string ToAnsiReplacing(const std::wstring& text, char replacement);

std::wstring ShiftJisToWide(const std::string& text);
// Characters without a Shift_JIS form become "?".
std::string WideToShiftJis(const std::wstring& text);
std::string ShiftJisToUtf8(const std::string& text);
// Characters without a Shift_JIS form become "?".
std::string Utf8ToShiftJis(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
// Whether every byte is 7-bit ASCII: the one text that reads the same in
// every code page and in UTF-8.
bool IsAscii(const std::string& text);
