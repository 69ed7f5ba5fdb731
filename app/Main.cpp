#include "app/Startup.h"

#include "common/ScopedHandle.h"

#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The wide command line: the ANSI one would give a path beyond the code
    // page as "?" or a look-alike, which names no file or another one. Quotes
    // group a path with blanks, as in the runtime's own splitting.
    int argc = 0;
    CScopedLocal<wchar_t*> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    if (argv.Get() == NULL)
        return RunProgram(0, NULL);
    return RunProgram(argc, argv.Get());
}
