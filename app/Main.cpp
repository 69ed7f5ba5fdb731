#include "app/Startup.h"

#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // The runtime's own argument splitting: quotes group a path with blanks.
    return RunProgram(__argc, __argv);
}
