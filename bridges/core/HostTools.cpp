#include "bridges/core/HostTools.h"

#include "bridges/core/BridgeText.h"

#include <windows.h>

#include <stdlib.h>

namespace {

typedef char*(CDECL* ToUnixEntry)(LPCWSTR);
typedef WCHAR*(CDECL* ToDosEntry)(LPCSTR);

const unsigned kDefaultTimeoutSeconds = 4 * 60 * 60;

FARPROC WineEntry(const char* name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

std::string Environment(const std::string& name)
{
    char value[1024] = "";
    DWORD length = GetEnvironmentVariableA(name.c_str(), value, sizeof(value));
    return length > 0 && length < sizeof(value) ? std::string(value) : std::string();
}

}  // namespace

std::string ToHostPath(const std::string& windowsPath)
{
    ToUnixEntry toUnix = reinterpret_cast<ToUnixEntry>(WineEntry("wine_get_unix_file_name"));
    if (toUnix == NULL || windowsPath.empty())
        return std::string();
    std::wstring wide = ProgramToWide(windowsPath);
    WCHAR full[32768];
    DWORD length = GetFullPathNameW(wide.c_str(), 32768, full, NULL);
    if (length == 0 || length >= 32768)
        return std::string();
    char* host = toUnix(full);
    if (host == NULL)
        return std::string();
    std::string path = host;
    HeapFree(GetProcessHeap(), 0, host);
    return path;
}

std::wstring ToWindowsPath(const std::string& hostPath)
{
    ToDosEntry toDos = reinterpret_cast<ToDosEntry>(WineEntry("wine_get_dos_file_name"));
    if (toDos == NULL || hostPath.empty())
        return std::wstring();
    WCHAR* dos = toDos(hostPath.c_str());
    if (dos == NULL)
        return std::wstring();
    std::wstring path = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return path;
}

bool HostFileExists(const std::string& hostPath)
{
    std::wstring path = ToWindowsPath(hostPath);
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string FindHostTool(const std::string& name)
{
    std::string key = "TESSIK_HOST_";
    for (char c : name)
        key += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    std::string chosen = Environment(key);
    if (!chosen.empty())
        return HostFileExists(chosen) ? chosen : std::string();
    for (const char* folder : {"/usr/local/bin/", "/usr/bin/", "/bin/"})
    {
        std::string path = folder + name;
        if (HostFileExists(path))
            return path;
    }
    return std::string();
}

unsigned HostTimeoutSeconds()
{
    std::string chosen = Environment("TESSIK_HOST_BOUND_SECONDS");
    unsigned long seconds = chosen.empty() ? 0 : strtoul(chosen.c_str(), NULL, 10);
    return seconds > 0 ? static_cast<unsigned>(seconds) : kDefaultTimeoutSeconds;
}
