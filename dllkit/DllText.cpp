#include "dllkit/DllText.h"

#include <windows.h>

namespace {

volatile LONG g_unicodeMode = 0;

UINT ModeCodePage() { return IsDllUnicodeModeOn() ? CP_UTF8 : CP_ACP; }

}  // namespace

void SetDllUnicodeMode(bool on) { InterlockedExchange(&g_unicodeMode, on ? 1 : 0); }

bool IsDllUnicodeModeOn() { return InterlockedCompareExchange(&g_unicodeMode, 0, 0) != 0; }

std::wstring FromDllText(const std::string& text)
{
    UINT codePage = ModeCodePage();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string ToDllText(const std::wstring& text)
{
    UINT codePage = ModeCodePage();
    const char* replacement = codePage == CP_UTF8 ? NULL : "?";
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0, replacement, NULL);
    std::string narrow(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &narrow[0], length, replacement, NULL);
    return narrow;
}
