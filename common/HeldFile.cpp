#include "common/HeldFile.h"

#include <utility>

namespace {

std::function<void()> g_waitObserver;

}  // namespace

bool IsHeldFileError(DWORD error)
{
    // A file open without delete sharing refuses a rename over it with access
    // denied rather than a sharing violation.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool RetryWhileHeld(const std::function<bool()>& attempt)
{
    DWORD start = GetTickCount();
    for (;;)
    {
        if (attempt())
            return true;
        DWORD error = GetLastError();
        if (!IsHeldFileError(error) || GetTickCount() - start >= kHeldFileBoundMs)
        {
            SetLastError(error);
            return false;
        }
        if (g_waitObserver)
            g_waitObserver();
        Sleep(kHeldFileRetryMs);
    }
}

void SetHeldFileWaitObserver(std::function<void()> observer)
{
    g_waitObserver = std::move(observer);
}
