#include "common/FileMutex.h"

#include "common/ShiftJis.h"

#include <stdint.h>
#include <stdio.h>

namespace {

const char kNamePrefix[] = "Local\\Tessik.File.";

// FNV-1a, 64 bits.
const uint64_t kHashOffset = 14695981039346656037ull;
const uint64_t kHashPrime = 1099511628211ull;

}  // namespace

std::string FileMutexName(const char* path)
{
    uint64_t hash = kHashOffset;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p != '\0'; ++p)
    {
        unsigned char c = *p;
        // A trail byte may fall in the ASCII letter range; it is hashed as it is.
        if (IsShiftJisLeadByte(c) && p[1] != '\0')
        {
            hash = (hash ^ c) * kHashPrime;
            c = *++p;
        }
        else if (c >= 'a' && c <= 'z')
        {
            c = static_cast<unsigned char>(c - 'a' + 'A');
        }
        hash = (hash ^ c) * kHashPrime;
    }
    char name[64];
    snprintf(name, sizeof(name), "%s%08lX%08lX", kNamePrefix, static_cast<unsigned long>(hash >> 32),
             static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}

CFileMutexLock::CFileMutexLock(const char* path, DWORD timeoutMs)
    : m_mutex(CreateMutexA(NULL, FALSE, FileMutexName(path).c_str())), m_held(false)
{
    if (!m_mutex.IsValid())
        return;
    DWORD waited = WaitForSingleObject(m_mutex.Get(), timeoutMs);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

CFileMutexLock::~CFileMutexLock()
{
    if (m_held)
        ReleaseMutex(m_mutex.Get());
}
