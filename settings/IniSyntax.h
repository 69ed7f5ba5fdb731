#pragma once

#include "common/ShiftJis.h"

#include <stddef.h>

#include <string>

// How the profile functions take one line of INI text apart, for the reader
// (which works, as they do, in UTF-16) and for the held writes (which edit the
// ANSI bytes). Measured under Wine:
// - blanks are ASCII white space and Ctrl-Z, trimmed from both ends of a line
//   (not the ideographic space); a line of blanks is no line at all;
// - a line whose first character after the blanks is "[" and that holds a "]"
//   heads a section named by the text between "[" and the last "]", blanks
//   trimmed ("  [ T ]x" is section "T"); without a "]" it is a key line;
// - any other line is a key: its name runs to the first "=" (blanks before the
//   "=" trimmed), its value from there (blanks after the "=" trimmed); a line
//   without "=" is a key without a value;
// - names match with ASCII letters folded only;
// - a key name that starts with ";" is a comment: readable and writable like
//   any key, but left out when key names are listed.

template <class TChar>
inline bool IsIniBlank(TChar c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

// One character: in ANSI text a lead byte takes its trail byte with it, so a
// trail byte "]" (0x5D) or a letter-like trail byte is never taken for one.
inline size_t IniCharLength(const char* p, const char* end)
{
    return IsShiftJisLeadByte(static_cast<unsigned char>(*p)) && p + 1 < end ? 2 : 1;
}

inline size_t IniCharLength(const wchar_t*, const wchar_t*)
{
    return 1;
}

template <class TChar>
void TrimIniBlanks(const TChar** begin, const TChar** end)
{
    while (*begin < *end && IsIniBlank(**begin))
        ++*begin;
    while (*end > *begin && IsIniBlank((*end)[-1]))
        --*end;
}

template <class TChar>
struct CIniLine
{
    bool header = false;
    const TChar* nameBegin = nullptr;
    const TChar* nameEnd = nullptr;
    const TChar* valueBegin = nullptr;  // nullptr: a key line without "="
    const TChar* valueEnd = nullptr;
};

// False for a line of blanks; [begin, end) may include the line's end.
template <class TChar>
bool ParseIniLine(const TChar* begin, const TChar* end, CIniLine<TChar>* line)
{
    TrimIniBlanks(&begin, &end);
    if (begin >= end)
        return false;
    *line = CIniLine<TChar>();
    if (*begin == '[')
    {
        const TChar* close = nullptr;
        for (const TChar* p = begin + 1; p < end; p += IniCharLength(p, end))
        {
            if (*p == ']')
                close = p;
        }
        if (close != nullptr)
        {
            line->header = true;
            line->nameBegin = begin + 1;
            line->nameEnd = close;
            TrimIniBlanks(&line->nameBegin, &line->nameEnd);
            return true;
        }
    }
    const TChar* equals = begin;
    while (equals < end && *equals != '=')
        equals += IniCharLength(equals, end);
    line->nameBegin = begin;
    line->nameEnd = equals < end ? equals : end;
    if (equals < end)
    {
        while (line->nameEnd > begin && IsIniBlank(line->nameEnd[-1]))
            --line->nameEnd;
        line->valueBegin = equals + 1;
        line->valueEnd = end;
        TrimIniBlanks(&line->valueBegin, &line->valueEnd);
    }
    return true;
}

template <class TChar>
bool IsIniComment(const std::basic_string<TChar>& keyName)
{
    return !keyName.empty() && keyName[0] == ';';
}

// A name as names are compared: a full-width "Ａ" does not find "ａ".
template <class TChar>
std::basic_string<TChar> FoldIniName(const std::basic_string<TChar>& name)
{
    std::basic_string<TChar> folded = name;
    const TChar* data = folded.data();
    const TChar* end = data + folded.size();
    for (const TChar* p = data; p < end;)
    {
        size_t length = IniCharLength(p, end);
        if (length == 1 && *p >= 'A' && *p <= 'Z')
            folded[p - data] = static_cast<TChar>(*p - 'A' + 'a');
        p += length;
    }
    return folded;
}
