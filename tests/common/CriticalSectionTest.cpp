#include "common/CriticalSection.h"
#include "common/MersenneTwister.h"

#include <gtest/gtest.h>

TEST(CMersenneTwister, ReferenceArraySeedingSequence)
{
    // First outputs of the reference implementation for init_by_array
    // {0x123, 0x234, 0x345, 0x456}.
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    CMersenneTwister generator(key, 4);
    EXPECT_EQ(1067595299u, generator.Next());
    EXPECT_EQ(955945823u, generator.Next());
    EXPECT_EQ(477289528u, generator.Next());
}

TEST(CCriticalSection, SameNameSharesOneEvent)
{
    CCriticalSection first("TessikTest_SharedLock");
    CCriticalSection second("TessikTest_SharedLock");
    ASSERT_TRUE(first.IsValid());
    ASSERT_TRUE(second.IsValid());

    EXPECT_EQ(0u, second.WaitFree(100));  // free, and still free afterwards
    ASSERT_EQ(1, first.Lock());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), second.WaitFree(100));
    EXPECT_NE(0, first.Unlock());
    EXPECT_EQ(0u, second.WaitFree(100));
    EXPECT_EQ(1, second.Lock());
    second.Unlock();
}

TEST(CCriticalSection, UnnamedInstancesGetDistinctWellFormedNames)
{
    CCriticalSection a;
    CCriticalSection b;
    ASSERT_TRUE(a.IsValid());
    ASSERT_TRUE(b.IsValid());
    EXPECT_NE(a.GetName(), b.GetName());
    // "CCriticalSection_Time" + 17 digits + "_ID" + 32 hexadecimal digits.
    const std::string& name = a.GetName();
    ASSERT_EQ(21u + 17u + 3u + 32u, name.size());
    EXPECT_EQ(0u, name.find("CCriticalSection_Time"));
    EXPECT_EQ(38u, name.find("_ID"));
    EXPECT_EQ(std::string::npos, name.find_first_not_of("0123456789ABCDEF", 41));

    // Holding one does not block the other.
    ASSERT_EQ(1, a.Lock());
    EXPECT_EQ(0u, b.WaitFree(50));
    a.Unlock();
}
