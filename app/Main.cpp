#include "app/Startup.h"

#include "common/CommandLineArgs.h"

#include <string>
#include <vector>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The wide command line: the ANSI one would give a path beyond the code
    // page as "?" or a look-alike, which names no file or another one. Quotes
    // group a path with blanks, as in the system's own splitting.
    std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
    std::vector<wchar_t*> argv;
    for (std::wstring& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(NULL);
    return RunProgram(static_cast<int>(arguments.size()), argv.data());
}
