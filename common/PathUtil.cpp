#include "common/PathUtil.h"

#include "common/ScopedHandle.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <atomic>

namespace {

const size_t kCurrentDirSize = 2048;
const size_t kModulePathSize = 360;
const size_t kSpecialFolderMinSize = 260;
const size_t kTempDigits = 8;
// A unique name is searched among this many successive values before giving up.
const unsigned int kMaxTempNameTries = 0x10000;

// The value of the last unique name handed out, in this process.
std::atomic<unsigned int> g_lastIssuedTempValue(0);
std::atomic<bool> g_issuedAnyTempValue(false);

// Positions of the last '.' and last '\' of a path, walking whole Shift_JIS
// characters; -1 when absent.
void FindLastDotAndBackslash(const char* path, int* lastDot, int* lastBackslash)
{
    *lastDot = -1;
    *lastBackslash = -1;
    for (const char* p = path; *p != '\0'; p = NextShiftJisChar(p))
    {
        if (*p == '.')
            *lastDot = static_cast<int>(p - path);
        else if (*p == '\\')
            *lastBackslash = static_cast<int>(p - path);
    }
}

bool IsDriveRootListed(const char* root)
{
    char drives[512];
    DWORD length = GetLogicalDriveStringsA(sizeof(drives), drives);
    if (length == 0 || length >= sizeof(drives))
        return false;
    for (const char* drive = drives; *drive != '\0'; drive += strlen(drive) + 1)
    {
        if (lstrcmpiA(drive, root) == 0)
            return true;
    }
    return false;
}

int FormatTempName(const char* folder, const char* prefix, unsigned int value, char* buffer,
                   size_t size)
{
    int written = snprintf(buffer, size, "%s\\%s%.8x", folder, prefix, value);
    return written > 0 && static_cast<size_t>(written) < size;
}

unsigned int ReadClockValue()
{
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    return TempNameValue(utc);
}

}  // namespace

int GetPathType(const char* path)
{
    char fullPath[kCurrentDirSize + 1024 + 2];
    if (path[0] == '\\' || (path[0] != '\0' && path[1] == ':'))
    {
        snprintf(fullPath, sizeof(fullPath), "%s", path);
    }
    else
    {
        char current[kCurrentDirSize];
        DWORD length = GetCurrentDirectoryA(sizeof(current), current);
        if (length == 0 || length >= sizeof(current))
            return kPathMissing;
        // The current directory of a drive root already ends in a backslash.
        const char* separator = (current[length - 1] == '\\') ? "" : "\\";
        snprintf(fullPath, sizeof(fullPath), "%s%s%s", current, separator, path);
    }

    if (strlen(fullPath) > 3)
    {
        WIN32_FIND_DATAA found;
        CScopedFind find(FindFirstFileA(fullPath, &found));
        if (!find.IsValid())
            return kPathMissing;
        return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? kPathFolder : kPathFile;
    }

    // "C:" or "C:\": compare with the system's list of drive roots.
    char root[4] = {0};
    memcpy(root, fullPath, strlen(fullPath));
    if (root[2] == '\0')
        root[2] = '\\';
    return IsDriveRootListed(root) ? kPathFolder : kPathMissing;
}

int CreateFolderTree(const char* path)
{
    char levels[1024 + 1];
    snprintf(levels, sizeof(levels), "%.1024s", path);
    RemoveTrailingBackslash(levels);
    size_t length = strlen(levels);

    size_t start = 0;
    if (length >= 2 && levels[1] == ':')
    {
        start = 3;
    }
    else if (levels[0] == '\\' && levels[1] == '\\')
    {
        // Skip the server name: its folder levels cannot be created.
        const char* serverEnd = strchr(levels + 2, '\\');
        if (serverEnd == NULL)
            return 0;
        start = static_cast<size_t>(serverEnd - levels) + 1;
    }
    if (start > length)
        return 1;

    ReplaceChar(levels + start, '\\', '\0');
    for (size_t p = start; p <= length; ++p)
    {
        if (levels[p] != '\0')
            continue;
        int kind = GetPathType(levels);
        if (kind == kPathMissing)
            CreateDirectoryA(levels, NULL);
        else if (kind != kPathFolder)
            return 0;
        if (p < length)
            levels[p] = '\\';
    }
    return 1;
}

namespace {

template <class TChar>
bool IsAbsoluteText(const TChar* path)
{
    return (path[0] == '\\' && path[1] == '\\') || (path[0] != '\0' && path[1] == ':' && path[2] == '\\');
}

}  // namespace

bool IsAbsolutePath(const char* path)
{
    return IsAbsoluteText(path);
}

bool IsAbsolutePath(const wchar_t* path)
{
    return IsAbsoluteText(path);
}

bool SameFileName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool SameFileName(const std::string& a, const std::string& b)
{
    return SameFileName(AnsiToWide(a.c_str()), AnsiToWide(b.c_str()));
}

std::wstring UnnamablePart(const std::wstring& path)
{
    // A UTF-16 unit is at most two ANSI bytes.
    std::string ansi(path.size() * 2 + 1, '\0');
    if (ToExactAnsi(path.c_str(), &ansi[0], ansi.size()))
        return std::wstring();
    size_t start = 0;
    while (start < path.size())
    {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring component = path.substr(start, end - start);
        if (!component.empty() && !ToExactAnsi(component.c_str(), &ansi[0], ansi.size()))
            return path.substr(0, end);
        start = end + 1;
    }
    return path;
}

int GetParentFolder(const char* path, char* buffer, size_t size)
{
    int lastDot, lastBackslash;
    FindLastDotAndBackslash(path, &lastDot, &lastBackslash);
    if (lastBackslash <= 0 || size <= static_cast<size_t>(lastBackslash))
        return 0;
    memcpy(buffer, path, lastBackslash);
    buffer[lastBackslash] = '\0';
    return lastBackslash;
}

int GetModuleFolder(char* buffer, size_t size)
{
    char modulePath[kModulePathSize];
    DWORD length = GetModuleFileNameA(NULL, modulePath, sizeof(modulePath));
    // A truncated path would name another folder: treat it as a failure.
    if (length == 0 || length >= sizeof(modulePath))
        return 0;
    return GetParentFolder(modulePath, buffer, size);
}

bool GetModuleFolder(HMODULE module, std::wstring* folder)
{
    // The longest path the platform has, so that a cut path never names another folder.
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return false;
    path.resize(length);
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return false;
    *folder = path.substr(0, slash);
    return true;
}

bool GetAnsiPathName(const wchar_t* path, char* buffer, size_t size)
{
    if (ToExactAnsi(path, buffer, size))
        return true;
    wchar_t shortName[MAX_PATH + 1];
    DWORD length = GetShortPathNameW(path, shortName, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH && ToExactAnsi(shortName, buffer, size);
}

int GetSpecialFolderPath(HWND owner, int csidl, char* buffer, size_t size)
{
    if (size < kSpecialFolderMinSize)
        return 0;
    if (csidl == kCsidlProgramFolder)
        return GetModuleFolder(buffer, size) > 0;
    return SHGetSpecialFolderPathA(owner, buffer, csidl, FALSE) ? 1 : 0;
}

unsigned int TempNameValue(const SYSTEMTIME& utc)
{
    unsigned int sum = static_cast<unsigned int>(utc.wMonth) + utc.wDay + utc.wHour + utc.wMinute +
                       utc.wSecond + utc.wMilliseconds;
    return sum * utc.wMinute * utc.wSecond * utc.wMilliseconds + utc.wYear;
}

int MakeTempName(const char* folder, const char* prefix, char* buffer, size_t size)
{
    if (size < strlen(folder) + strlen(prefix) + kTempDigits + 2)
        return 0;
    return FormatTempName(folder, prefix, ReadClockValue(), buffer, size);
}

namespace {

// The clock value repeats for a whole minute or second whenever one of its
// factors is 0, and within one millisecond anyway. Instead of waiting for the
// clock, step to the next value on a collision, and never hand out the value
// of the previous call again, so that two names asked for in a row differ
// even before the first one is created. tryName(value) names the file of a
// value and says whether it is free, taken, or whether no name will do.
enum class ETempName
{
    Free,
    Taken,
    Refused,
};

template <class TryName>
bool PickUniqueTempValue(TryName tryName)
{
    unsigned int value = ReadClockValue();
    if (g_issuedAnyTempValue.load() && value == g_lastIssuedTempValue.load())
        ++value;
    for (unsigned int attempt = 0; attempt < kMaxTempNameTries; ++attempt, ++value)
    {
        ETempName state = tryName(value);
        if (state == ETempName::Refused)
            return false;
        if (state == ETempName::Free)
        {
            g_lastIssuedTempValue.store(value);
            g_issuedAnyTempValue.store(true);
            return true;
        }
    }
    return false;
}

ETempName FreeWhenMissing(bool missing)
{
    return missing ? ETempName::Free : ETempName::Taken;
}

// The name of the first free value in buffer, or an empty buffer; tryFile
// says of a name whether it is free (and claims it, for a created file).
template <class TryFile>
int PickUniqueTempName(const char* folder, const char* prefix, const char* extension, char* buffer, size_t size,
                       TryFile tryFile)
{
    const char* suffix = extension ? extension : "";
    if (size < strlen(folder) + strlen(prefix) + kTempDigits + strlen(suffix) + 2)
        return 0;
    bool found = PickUniqueTempValue([&](unsigned int value) {
        FormatTempName(folder, prefix, value, buffer, size);
        strcat(buffer, suffix);
        return tryFile(buffer);
    });
    if (!found)
        buffer[0] = '\0';
    return found ? 1 : 0;
}

}  // namespace

int MakeUniqueTempName(const char* folder, const char* prefix, const char* extension,
                       char* buffer, size_t size)
{
    return PickUniqueTempName(folder, prefix, extension, buffer, size,
                              [](const char* name) { return FreeWhenMissing(GetPathType(name) == kPathMissing); });
}

int CreateUniqueTempFile(const char* folder, const char* prefix, const char* extension, char* buffer, size_t size)
{
    return PickUniqueTempName(folder, prefix, extension, buffer, size, [](const char* name) {
        CScopedHandle file(CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL));
        if (file.IsValid())
            return ETempName::Free;
        DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? ETempName::Taken : ETempName::Refused;
    });
}

bool MakeUniqueTempName(const std::wstring& folder, const char* prefix, const char* extension, std::wstring* path)
{
    bool found = PickUniqueTempValue([&](unsigned int value) {
        char digits[kTempDigits + 1];
        snprintf(digits, sizeof(digits), "%.8x", value);
        *path = folder + L"\\" + AnsiToWide(std::string(prefix) + digits + (extension ? extension : ""));
        return FreeWhenMissing(GetFileAttributesW(path->c_str()) == INVALID_FILE_ATTRIBUTES);
    });
    if (!found)
        path->clear();
    return found;
}

int ReplaceExtension(const char* path, const char* extension, char* buffer, size_t size)
{
    return ReplaceExtensionOf(path, GetPathType(path) == kPathFolder, extension, buffer, size);
}

int ReplaceExtensionOf(const char* path, bool isFolder, const char* extension, char* buffer, size_t size)
{
    size_t n = strlen(path);
    if (path[0] != '\0' && path[1] == ':' && n <= 3)
        return 0;

    if (isFolder)
    {
        // An existing folder keeps its whole name: C:\a\dir\ becomes C:\a\dir.exe.
        int lastDot, lastBackslash;
        FindLastDotAndBackslash(path, &lastDot, &lastBackslash);
        if (n > 0 && lastBackslash == static_cast<int>(n) - 1)
            --n;
    }
    else if (n > 0)
    {
        int lastDot, lastBackslash;
        FindLastDotAndBackslash(path, &lastDot, &lastBackslash);
        if (lastDot >= 0 && lastDot > lastBackslash)
            n = static_cast<size_t>(lastDot) + 1;
    }

    if (size < n + strlen(extension) + 1)
        return 0;

    memcpy(buffer, path, n);
    buffer[n] = '\0';
    RemoveTrailingBackslash(buffer);
    size_t copied = strlen(buffer);
    if (copied > 0 && buffer[copied - 1] == '.' && extension[0] == '.')
        ++extension;
    strcat(buffer, extension);
    return 1;
}

int GetExtension(const char* path, char* buffer, size_t size)
{
    if (size > 0)
        buffer[0] = '\0';
    if (path[0] == '\0')
        return -1;

    int lastDot, lastBackslash;
    FindLastDotAndBackslash(path, &lastDot, &lastBackslash);
    // Position 0 stands for "none", as a leading dot or backslash does.
    if (lastDot < 0)
        lastDot = 0;
    if (lastBackslash < 0)
        lastBackslash = 0;

    if (lastDot > lastBackslash)
    {
        size_t length = strlen(path + lastDot);
        if (length >= size)
            return -1;
        memcpy(buffer, path + lastDot, length + 1);
        return static_cast<int>(length);
    }
    if ((lastDot == 0 && lastBackslash == 0) || size <= 1)
        return -1;
    strcpy(buffer, ".");
    return 1;
}

int RemoveTrailingNewline(char* text)
{
    size_t length = strlen(text);
    if (length == 0 || text[length - 1] != '\n')
        return 0;
    text[length - 1] = '\0';
    return 1;
}

int RemoveTrailingBackslash(char* text)
{
    if (!EndsWithSeparator(text))
        return 0;
    text[strlen(text) - 1] = '\0';
    return 1;
}

int ReplaceChar(char* text, char from, char to)
{
    int count = 0;
    // The length is fixed first: replacing with a terminator must not end the walk.
    size_t length = strlen(text);
    for (size_t i = 0; i < length; ++i)
    {
        if (IsShiftJisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length)
        {
            ++i;
            continue;
        }
        if (text[i] == from)
        {
            text[i] = to;
            ++count;
        }
    }
    return count;
}

int ParseBool(const char* text)
{
    return lstrcmpiA(text, "true") == 0 ? 1 : 0;
}

const char* FormatBool(int value)
{
    return value ? "true" : "false";
}

namespace {

// The folder the browser opens on. Under Wine a first request to select it
// sometimes leaves the tree without a selection, while a repeated one finds
// it: the selection is asked for again until the browser reports the folder
// selected, a few times at most (a folder that is gone is never reported).
struct CInitialFolder
{
    const char* path;
    bool selecting;
    bool reached;
};

const int kSelectionAttempts = 3;

int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM item, LPARAM data)
{
    CInitialFolder* folder = reinterpret_cast<CInitialFolder*>(data);
    if (message == BFFM_SELCHANGED && folder->selecting && item != 0)
    {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path) && lstrcmpiA(path, folder->path) == 0)
            folder->reached = true;
    }
    else if (message == BFFM_INITIALIZED)
    {
        folder->selecting = true;
        for (int attempt = 0; attempt < kSelectionAttempts && !folder->reached; ++attempt)
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder->path));
        folder->selecting = false;
    }
    return 0;
}

}  // namespace

int BrowseForFolder(HWND owner, const char* title, char* buffer, size_t size)
{
    return BrowseForFolder(owner, title, "", buffer, size);
}

int BrowseForFolder(HWND owner, const char* title, const char* initialFolder, char* buffer, size_t size)
{
    BROWSEINFOA info = {};
    CInitialFolder initial = {initialFolder, false, false};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (initialFolder[0] != '\0')
    {
        info.lpfn = SelectInitialFolder;
        info.lParam = reinterpret_cast<LPARAM>(&initial);
    }
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (item == NULL)
        return 0;
    char path[MAX_PATH] = "";
    BOOL converted = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    if (!converted || strlen(path) >= size)
        return 0;
    strcpy(buffer, path);
    return 1;
}
