#include "common/CriticalSection.h"

#include "common/MersenneTwister.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

std::string FormatUniqueName(const SYSTEMTIME& now, const uint32_t numbers[4])
{
    char name[128];
    snprintf(name, sizeof(name),
             "CCriticalSection_Time%.4u%.2u%.2u%.2u%.2u%.2u%.3u_ID%08X%08X%08X%08X", now.wYear,
             now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
             numbers[3], numbers[2], numbers[1], numbers[0]);
    return name;
}

}  // namespace

CCriticalSection::CCriticalSection() : m_event(NULL)
{
    Create(MakeUniqueName().c_str());
}

CCriticalSection::CCriticalSection(const char* name) : m_event(NULL)
{
    Create(name);
}

CCriticalSection::~CCriticalSection()
{
    if (m_event != NULL)
        CloseHandle(m_event);
}

void CCriticalSection::Create(const char* name)
{
    m_name = name;
    m_event = CreateEventA(NULL, FALSE, TRUE, name);
}

std::string CCriticalSection::MakeUniqueName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    uint32_t seed[8] = {
        static_cast<uint32_t>(now.wMonth) * now.wYear,
        static_cast<uint32_t>(now.wHour) * now.wDay,
        static_cast<uint32_t>(now.wSecond) * now.wMinute,
        now.wMilliseconds,
        static_cast<uint32_t>(rand()),
        static_cast<uint32_t>(rand()),
        static_cast<uint32_t>(rand()),
        static_cast<uint32_t>(rand()),
    };
    CMersenneTwister generator(seed, 8);

    for (;;)
    {
        uint32_t numbers[4];
        for (int i = 0; i < 4; ++i)
            numbers[i] = generator.Next();
        std::string name = FormatUniqueName(now, numbers);
        HANDLE existing = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
        if (existing == NULL)
            return name;
        CloseHandle(existing);
    }
}

int CCriticalSection::Lock()
{
    if (m_event == NULL)
        return 0;
    return WaitForSingleObject(m_event, INFINITE) == WAIT_OBJECT_0 ? 1 : 0;
}

int CCriticalSection::Unlock()
{
    if (m_event == NULL)
        return 0;
    return SetEvent(m_event) ? 1 : 0;
}

DWORD CCriticalSection::WaitFree(DWORD timeoutMs)
{
    if (m_event == NULL)
        return WAIT_FAILED;
    DWORD result = WaitForSingleObject(m_event, timeoutMs);
    if (result == WAIT_OBJECT_0)
        SetEvent(m_event);
    return result;
}
