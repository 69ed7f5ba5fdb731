#include "shellext/ModuleState.h"

HINSTANCE g_moduleInstance = NULL;

namespace {
// Objects live on whatever apartment threads the shell uses, so only this count
// is shared between threads.
volatile LONG g_liveObjects = 0;
}

void AddLiveObject()
{
    InterlockedIncrement(&g_liveObjects);
}

void RemoveLiveObject()
{
    InterlockedDecrement(&g_liveObjects);
}

LONG LiveObjectCount()
{
    return InterlockedCompareExchange(&g_liveObjects, 0, 0);
}
