#include "tests/app/ProgramCopy.h"

#include "tests/support/UnicodeTree.h"

CProgramCopy::CProgramCopy() : m_exe(m_folder / "tessik.exe")
{
    CopyFileA((TestExeFolder() + "\\tessik.exe").c_str(), m_exe.c_str(), FALSE);
}

bool CProgramCopy::Start(const std::string& arguments, const std::string& currentFolder,
                         PROCESS_INFORMATION* process)
{
    std::string commandLine = "\"" + m_exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessA(m_exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, currentFolder.c_str(),
                          &startup, process) != FALSE;
}

bool CProgramCopy::Start(const std::wstring& arguments, const std::string& currentFolder,
                         PROCESS_INFORMATION* process)
{
    std::wstring exe = Widen(m_exe);
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, Widen(currentFolder).c_str(),
                          &startup, process) != FALSE;
}

DWORD CProgramCopy::WaitExit(PROCESS_INFORMATION* process)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process->hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(process->hProcess, 99);
    WaitForSingleObject(process->hProcess, 10000);
    GetExitCodeProcess(process->hProcess, &code);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    return code;
}
