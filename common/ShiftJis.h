#pragma once

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
