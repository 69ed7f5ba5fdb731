#include "common/ShiftJis.h"

#include <gtest/gtest.h>

TEST(ShiftJis, LastSeparatorSkipsTrailBytes)
{
    struct
    {
        const char* text;
        bool endsWithSeparator;
    } const cases[] = {
        {"C:\\data\\", true},
        {"C:\\data", false},
        {"C:\\\x95\x5C", false},  // 表: its trail byte is 0x5C
        {"C:\\\x95\x5C\\", true},
        {"", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.endsWithSeparator, EndsWithSeparator(c.text));
        EXPECT_EQ(c.endsWithSeparator, EndsWithSeparator(std::string(c.text)));
    }
}
