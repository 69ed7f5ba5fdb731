#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>

#include <string>

// A mutex shared by every process that rewrites one file, named after the
// file's full path: holding it makes a copy-write-rename of that file one
// process's at a time.

// "Local\Tessik.File.<16 hex digits>": a 64-bit hash of the path with ASCII
// letters folded to upper case (the file system ignores their case), far
// inside the length limit of kernel-object names whatever the path's length.
std::string FileMutexName(const char* path);

// Holds the file's mutex from construction, waiting at most timeoutMs, until
// destruction. A mutex whose owner ended without giving it back counts as
// held: that owner's rewrite never replaced the file half-done.
class CFileMutexLock
{
public:
    CFileMutexLock(const char* path, DWORD timeoutMs);
    ~CFileMutexLock();

    bool IsHeld() const { return m_held; }

private:
    CFileMutexLock(const CFileMutexLock&) = delete;
    CFileMutexLock& operator=(const CFileMutexLock&) = delete;

    CScopedHandle m_mutex;
    bool m_held;
};
