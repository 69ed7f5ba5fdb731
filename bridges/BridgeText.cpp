#include "bridges/BridgeText.h"

#include "common/ShiftJis.h"

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

bool IsAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

std::string ToHostRelativeName(const std::string& shiftJisName)
{
    std::string name;
    for (const char* p = shiftJisName.c_str(); *p != '\0';)
    {
        const char* next = NextShiftJisChar(p);
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
        const char* next = NextShiftJisChar(p);
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
