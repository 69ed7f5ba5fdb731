#pragma once

#include <windows.h>

#include <functional>

// Another program (a virus scanner, a backup, another instance reading the
// file) may hold a file for a moment without sharing it. Operations on such a
// file are tried again for a bounded time before they count as failed.

// Waits between two tries and the whole time a file may be held.
const DWORD kHeldFileRetryMs = 50;
const DWORD kHeldFileBoundMs = 5000;

// The error codes of an open, copy or rename refused because of a holder.
bool IsHeldFileError(DWORD error);

// Runs attempt (which reports failure through the last error) until it
// succeeds, fails for another reason, or kHeldFileBoundMs have passed. The
// last error is the last attempt's.
bool RetryWhileHeld(const std::function<bool()>& attempt);

// Called on the waiting thread whenever an attempt is about to be tried again;
// tests let go of a file they hold at exactly that moment. Empty by default.
void SetHeldFileWaitObserver(std::function<void()> observer);
