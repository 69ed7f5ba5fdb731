#pragma once

#include "tests/support/TestFolder.h"

#include <windows.h>

#include <string>

// A copy of the program in its own folder, started as a separate process.
class CProgramCopy
{
public:
    CProgramCopy();

    const std::string& Folder() const { return m_folder.Path(); }

    // Starts the program; answers nothing itself.
    bool Start(const std::string& arguments, const std::string& currentFolder, PROCESS_INFORMATION* process);
    // The same with a wide command line, for paths beyond the ANSI code page.
    bool Start(const std::wstring& arguments, const std::string& currentFolder, PROCESS_INFORMATION* process);
    // Waits for the end; a process that does not end is ended (it is ours).
    static DWORD WaitExit(PROCESS_INFORMATION* process);

private:
    CTestFolder m_folder;
    std::string m_exe;
};
