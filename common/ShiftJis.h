#pragma once

#include <stddef.h>

#include <string>

// Shift_JIS (code page 932) lead bytes: the byte after one belongs to the same
// character, so a trail byte 0x5C is never a path separator.
inline bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Advances past one character (one or two bytes) of a NUL-terminated text.
inline const char* NextShiftJisChar(const char* p)
{
    if (IsShiftJisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

// How many bytes of text, at most limit, end on a whole character.
size_t WholeCharPrefixLength(const char* text, size_t limit);
// Copies text into a buffer of size bytes, cut at a whole character and terminated.
void CopyAtWholeChars(const char* text, char* buffer, size_t size);
// The text's last byte (of length bytes) is a lead byte without its trail.
bool EndsWithLoneLeadByte(const char* text, size_t length);
// The last backslash of text that is a separator of its own, nullptr when none.
const char* FindLastSeparator(const char* text);
// The last character of text is a backslash of its own, not the trail byte of
// a double-byte character (表 is 0x95 0x5C).
bool EndsWithSeparator(const char* text);
bool EndsWithSeparator(const std::string& text);
