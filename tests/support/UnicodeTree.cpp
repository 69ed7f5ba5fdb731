#include "tests/support/UnicodeTree.h"

#include "common/TextConvert.h"

#include <windows.h>

const std::vector<CUnicodeTreeFile> kUnicodeTree = {
    {L"한국어.txt", "korean\r\n"},
    {L"Ελληνικά.txt", "greek"},
    {L"Café.txt", std::string("caf\xC3\xA9\0bytes", 11)},
    {L"x\U0001F600.txt", "emoji"},
    {L"表.txt", "hyou"},
    {L"sub\\a.txt", std::string(3000, 'a')},
};

namespace {

std::wstring Convert(UINT codePage, const std::string& text)
{
    int units = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
    std::wstring wide(units > 0 ? units : 0, L'\0');
    if (units > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return wide;
}

}  // namespace

std::wstring Widen(const std::string& ansi) { return Convert(CP_ACP, ansi); }
std::vector<std::wstring> WidenAll(const std::vector<std::string>& ansi)
{
    std::vector<std::wstring> wide;
    for (const std::string& path : ansi)
        wide.push_back(Widen(path));
    return wide;
}

std::wstring FromUtf8(const std::string& utf8) { return Convert(CP_UTF8, utf8); }

std::string Narrow(const std::wstring& wide)
{
    return WideToShiftJis(wide);
}

std::string Utf8Of(const std::wstring& wide)
{
    return WideToUtf8(wide);
}

void WriteWideFile(const std::wstring& path, const std::string& bytes)
{
    for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        CreateDirectoryW(path.substr(0, slash).c_str(), NULL);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE)
    {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        CloseHandle(file);
    }
}

std::string ReadWideFile(const std::wstring& path, bool* ok)
{
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (ok)
        *ok = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteUnicodeTree(const std::wstring& folder)
{
    for (const CUnicodeTreeFile& file : kUnicodeTree)
        WriteWideFile(folder + L"\\" + file.relative, file.bytes);
}
