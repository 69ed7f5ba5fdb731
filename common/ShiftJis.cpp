#include "common/ShiftJis.h"

#include <string.h>

size_t WholeCharPrefixLength(const char* text, size_t limit)
{
    const char* end = text;
    while (*end != '\0')
    {
        const char* next = NextShiftJisChar(end);
        if (static_cast<size_t>(next - text) > limit)
            break;
        end = next;
    }
    return static_cast<size_t>(end - text);
}

void CopyAtWholeChars(const char* text, char* buffer, size_t size)
{
    if (size == 0)
        return;
    size_t length = WholeCharPrefixLength(text, size - 1);
    memcpy(buffer, text, length);
    buffer[length] = '\0';
}

bool EndsWithLoneLeadByte(const char* text, size_t length)
{
    const char* last = nullptr;
    for (const char* p = text; p < text + length && *p != '\0'; p = NextShiftJisChar(p))
        last = p;
    return last != nullptr && last + 1 == text + length && IsShiftJisLeadByte(static_cast<unsigned char>(*last));
}

const char* FindLastSeparator(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p != '\0'; p = NextShiftJisChar(p))
    {
        if (*p == '\\')
            last = p;
    }
    return last;
}

bool EndsWithSeparator(const char* text)
{
    const char* last = FindLastSeparator(text);
    return last != nullptr && last[1] == '\0';
}

bool EndsWithSeparator(const std::string& text)
{
    return EndsWithSeparator(text.c_str());
}
