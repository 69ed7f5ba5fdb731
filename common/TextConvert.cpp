#include "common/TextConvert.h"

#include <windows.h>

#include <limits.h>
#include <string.h>
#include <wchar.h>

namespace {

const UINT kShiftJis = 932;

std::wstring ToWide(UINT codePage, const char* text, size_t length)
{
    if (length == 0 || length > INT_MAX)
        return std::wstring();
    int units = MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), NULL, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(codePage, 0, text, static_cast<int>(length), &wide[0], units);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& text)
{
    if (text.empty() || text.size() > INT_MAX)
        return std::string();
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
    if (length <= 0)
        return std::string();
    std::string narrow(length, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, NULL, NULL);
    return narrow;
}

}  // namespace

std::wstring AnsiToWide(const char* text) { return ToWide(CP_ACP, text, strlen(text)); }
std::wstring AnsiToWide(const std::string& text) { return ToWide(CP_ACP, text.data(), text.size()); }

bool ToExactAnsi(const wchar_t* wide, char* buffer, size_t size)
{
    // Most names are ASCII, which every ANSI code page holds as it is; the walk
    // of a large tree spends its time here otherwise.
    size_t i = 0;
    for (; wide[i] != L'\0' && wide[i] < 0x80; ++i)
    {
        if (i + 1 >= size)
            return false;
        buffer[i] = static_cast<char>(wide[i]);
    }
    if (wide[i] == L'\0')
    {
        if (i >= size)
            return false;
        buffer[i] = '\0';
        return true;
    }

    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, size > INT_MAX ? INT_MAX : static_cast<int>(size),
                                    NULL, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    // No byte gives more than one unit back, so the bytes bound the units.
    std::wstring back(bytes, L'\0');
    int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, buffer, -1, &back[0], bytes);
    return units > 0 && wcscmp(back.c_str(), wide) == 0;
}

std::string ToAnsiReplacing(const std::wstring& text, char replacement)
{
    std::string whole(text.size() * 2 + 1, '\0');
    if (ToExactAnsi(text.c_str(), &whole[0], whole.size()))
    {
        whole.resize(strlen(whole.c_str()));
        return whole;
    }
    std::string ansi;
    for (size_t i = 0; i < text.size();)
    {
        size_t units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        std::wstring character = text.substr(i, units);
        char bytes[8];
        if (character[0] != L'\0' && ToExactAnsi(character.c_str(), bytes, sizeof(bytes)))
            ansi += bytes;
        else
            ansi += replacement;
        i += units;
    }
    return ansi;
}

std::wstring ShiftJisToWide(const std::string& text) { return ToWide(kShiftJis, text.data(), text.size()); }
std::string WideToShiftJis(const std::wstring& text) { return FromWide(kShiftJis, text); }
std::string ShiftJisToUtf8(const std::string& text) { return FromWide(CP_UTF8, ShiftJisToWide(text)); }
std::string Utf8ToShiftJis(const std::string& text) { return FromWide(kShiftJis, Utf8ToWide(text)); }
std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text); }
std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text.data(), text.size()); }

bool IsAscii(const std::string& text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}
