#include "tests/support/ScaledRun.h"

#include "tests/support/TestFolder.h"

#include <stdlib.h>

namespace {

const char kDpiVariable[] = "TESSIK_TEST_DPI";

// Sets LogPixels for its lifetime, then puts back the value there was, or none.
class CScopedLogPixels
{
public:
    explicit CScopedLogPixels(DWORD dpi) : m_key(NULL), m_old(0), m_size(sizeof(m_old))
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_key, NULL);
        if (RegQueryValueExA(m_key, "LogPixels", NULL, NULL, reinterpret_cast<BYTE*>(&m_old), &m_size) != 0)
            m_size = 0;
        RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }
    ~CScopedLogPixels()
    {
        if (m_size == sizeof(m_old))
            RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old), m_size);
        else
            RegDeleteValueA(m_key, "LogPixels");
        RegCloseKey(m_key);
    }

private:
    HKEY m_key;
    DWORD m_old;
    DWORD m_size;
};

}  // namespace

DWORD RunSelfAtDpi(int dpi, const std::string& filter, std::string* output)
{
    CTestFolder folder;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), NULL, TRUE};
    HANDLE file = CreateFileA((folder / "output.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    char exe[MAX_PATH * 2] = "";
    GetModuleFileNameA(NULL, exe, sizeof(exe));
    std::string commandLine = "\"" + std::string(exe) + "\" --gtest_filter=" + filter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    DWORD code = static_cast<DWORD>(-1);
    CScopedLogPixels scale(static_cast<DWORD>(dpi));
    SetEnvironmentVariableA(kDpiVariable, std::to_string(dpi).c_str());
    BOOL started = CreateProcessA(exe, &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
    SetEnvironmentVariableA(kDpiVariable, NULL);
    CloseHandle(file);
    if (!started)
        return code;
    if (WaitForSingleObject(process.hProcess, 300000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, code);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    *output = ReadFileBytes(folder / "output.txt");
    return code;
}

int ExpectedSystemDpi()
{
    const char* value = getenv(kDpiVariable);
    return value != NULL && atoi(value) > 0 ? atoi(value) : 96;
}
