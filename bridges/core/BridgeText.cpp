#include "bridges/core/BridgeText.h"

#include "bridges/core/BridgeDll.h"
#include "common/ShiftJis.h"
#include "common/TextFormat.h"

#include <stdio.h>

namespace {

bool HasUtf8Tag(const std::string& locale)
{
    std::string lower;
    for (char c : locale)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

std::string Environment(const char* name)
{
    char value[256] = "";
    DWORD length = GetEnvironmentVariableA(name, value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value) : std::string();
}

}  // namespace

bool ProgramTextIsUtf8() { return CBridgeDll::This().IsUnicodeModeOn(); }

std::wstring ProgramToWide(const std::string& text)
{
    return ProgramTextIsUtf8() ? Utf8ToWide(text) : ShiftJisToWide(text);
}

std::string WideToProgram(const std::wstring& text)
{
    return ProgramTextIsUtf8() ? WideToUtf8(text) : WideToShiftJis(text);
}

std::string ProgramToUtf8(const std::string& text) { return ProgramTextIsUtf8() ? text : ShiftJisToUtf8(text); }
std::string Utf8ToProgram(const std::string& text) { return ProgramTextIsUtf8() ? text : Utf8ToShiftJis(text); }

std::string ProgramMessage(const char* shiftJis)
{
    return ProgramTextIsUtf8() ? ShiftJisToUtf8(shiftJis) : std::string(shiftJis);
}

std::string ProgramMessage(const char* shiftJis, const std::string& detail)
{
    return FormatText(ProgramMessage(shiftJis).c_str(), detail.c_str());
}

const char* NextProgramChar(const char* text)
{
    if (!ProgramTextIsUtf8())
        return NextShiftJisChar(text);
    return *text == '\0' ? text : text + 1;
}

bool EndsWithProgramSeparator(const std::string& text)
{
    if (!ProgramTextIsUtf8())
        return EndsWithSeparator(text);
    return !text.empty() && text.back() == '\\';
}

std::string ToHostRelativeName(const std::string& programName)
{
    std::string name;
    for (const char* p = programName.c_str(); *p != '\0';)
    {
        const char* next = NextProgramChar(p);
        if (next - p == 1 && *p == '\\')
            name += '/';
        else
            name.append(p, next);
        p = next;
    }
    return name;
}

std::string TerminalText(const std::string& raw)
{
    std::string text;
    size_t lineStart = 0;
    for (size_t i = 0; i < raw.size(); ++i)
    {
        char c = raw[i];
        if (c == '\b')
        {
            if (text.size() > lineStart)
                text.pop_back();
        }
        else if (c == '\r')
        {
            if (i + 1 < raw.size() && raw[i + 1] == '\n')
                continue;
            text.resize(lineStart);
        }
        else if (c == '\n')
        {
            // Trailing blanks left by an overwritten percentage are dropped.
            while (text.size() > lineStart && text.back() == ' ')
                text.pop_back();
            text += "\r\n";
            lineStart = text.size();
        }
        else
            text += c;
    }
    return text;
}

std::string LastLine(const std::string& raw)
{
    // While 7zz redraws, the line being drawn is the latest news.
    std::string text;
    for (char c : raw)
        text += (c == '\b' || c == '\r') ? '\n' : c;
    size_t end = text.size();
    while (end > 0)
    {
        size_t start = text.rfind('\n', end - 1);
        start = start == std::string::npos ? 0 : start + 1;
        std::string line = text.substr(start, end - start);
        size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos)
            return line.substr(first);
        if (start == 0)
            break;
        end = start - 1;
    }
    return std::string();
}

void CopyToOutput(const std::string& text, char* output, DWORD size)
{
    if (output == NULL || size == 0)
        return;
    size_t used = 0;
    const char* p = text.c_str();
    while (*p != '\0')
    {
        // A UTF-8 character is cut whole too: its continuation bytes go with it.
        const char* next = NextProgramChar(p);
        while (ProgramTextIsUtf8() && (static_cast<unsigned char>(*next) & 0xC0) == 0x80)
            ++next;
        size_t length = next - p;
        if (used + length + 1 > size)
            break;
        memcpy(output + used, p, length);
        used += length;
        p = next;
    }
    output[used] = '\0';
}

bool IsUtf8Locale(const std::string& lcAll, const std::string& lcCtype, const std::string& lang)
{
    if (!lcAll.empty())
        return HasUtf8Tag(lcAll);
    if (!lcCtype.empty())
        return HasUtf8Tag(lcCtype);
    return HasUtf8Tag(lang);
}

bool ProcessHasUtf8Locale()
{
    return IsUtf8Locale(Environment("LC_ALL"), Environment("LC_CTYPE"), Environment("LANG"));
}

std::string OctalEscapes(const std::string& bytes)
{
    std::string escaped;
    for (unsigned char c : bytes)
    {
        char code[8];
        snprintf(code, sizeof(code), "\\0%03o", c);
        escaped += code;
    }
    return escaped;
}
