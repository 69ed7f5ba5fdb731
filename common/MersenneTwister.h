#pragma once

#include <stdint.h>
#include <stddef.h>

// MT19937 (32-bit) with the reference array seeding (init_by_array), which the
// standard library's generators do not offer.
class CMersenneTwister
{
public:
    CMersenneTwister(const uint32_t* key, size_t length);
    uint32_t Next();

private:
    void InitBySeed(uint32_t seed);

    static const int kStateSize = 624;
    uint32_t m_state[kStateSize];
    int m_index;
};
