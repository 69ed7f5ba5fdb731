#include "common/MersenneTwister.h"

namespace {
const int kShift = 397;
const uint32_t kMatrixA = 0x9908b0dfu;
const uint32_t kUpperMask = 0x80000000u;
const uint32_t kLowerMask = 0x7fffffffu;
}  // namespace

void CMersenneTwister::InitBySeed(uint32_t seed)
{
    m_state[0] = seed;
    for (int i = 1; i < kStateSize; ++i)
        m_state[i] = 1812433253u * (m_state[i - 1] ^ (m_state[i - 1] >> 30)) + static_cast<uint32_t>(i);
    m_index = kStateSize;
}

CMersenneTwister::CMersenneTwister(const uint32_t* key, size_t length)
{
    InitBySeed(19650218u);
    int i = 1;
    size_t j = 0;
    for (size_t k = (kStateSize > static_cast<int>(length) ? kStateSize : length); k > 0; --k)
    {
        m_state[i] = (m_state[i] ^ ((m_state[i - 1] ^ (m_state[i - 1] >> 30)) * 1664525u)) + key[j] +
                     static_cast<uint32_t>(j);
        ++i;
        ++j;
        if (i >= kStateSize)
        {
            m_state[0] = m_state[kStateSize - 1];
            i = 1;
        }
        if (j >= length)
            j = 0;
    }
    for (int k = kStateSize - 1; k > 0; --k)
    {
        m_state[i] = (m_state[i] ^ ((m_state[i - 1] ^ (m_state[i - 1] >> 30)) * 1566083941u)) -
                     static_cast<uint32_t>(i);
        ++i;
        if (i >= kStateSize)
        {
            m_state[0] = m_state[kStateSize - 1];
            i = 1;
        }
    }
    m_state[0] = 0x80000000u;
}

uint32_t CMersenneTwister::Next()
{
    if (m_index >= kStateSize)
    {
        for (int k = 0; k < kStateSize; ++k)
        {
            uint32_t y = (m_state[k] & kUpperMask) | (m_state[(k + 1) % kStateSize] & kLowerMask);
            m_state[k] = m_state[(k + kShift) % kStateSize] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
        }
        m_index = 0;
    }
    uint32_t y = m_state[m_index++];
    y ^= (y >> 11);
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= (y >> 18);
    return y;
}
