#pragma once

#include <windows.h>

#include <string>

// A lock shared between processes: a named auto-reset event that starts
// signalled, so one waiter at a time gets through.
class CCriticalSection
{
public:
    // Creates the event under a fresh unique name.
    CCriticalSection();
    // Creates (or joins) the event of that name.
    explicit CCriticalSection(const char* name);
    ~CCriticalSection();

    bool IsValid() const { return m_event != NULL; }
    const std::string& GetName() const { return m_name; }

    int Lock();
    int Unlock();
    // Waits until the lock is free without keeping it; 0 when it was free,
    // WAIT_TIMEOUT when it stayed taken.
    DWORD WaitFree(DWORD timeoutMs);

private:
    CCriticalSection(const CCriticalSection&);
    CCriticalSection& operator=(const CCriticalSection&);

    void Create(const char* name);
    static std::string MakeUniqueName();

    HANDLE m_event;
    std::string m_name;
};
