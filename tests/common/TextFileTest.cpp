#include "common/TextFile.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

TEST(CTextFile, WritesTextModeLinesWithCrLf)
{
    CTestFolder folder;
    std::string path = folder / "list.txt";
    CTextFile file;
    ASSERT_NE(nullptr, file.Open(path.c_str(), "w"));
    file.Print("\"%s\"\n", "a\\表.txt");
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ("\"a\\\x95\x5c.txt\"\r\n", ReadFileBytes(path));
}

TEST(CTextFile, ReadLineKeepsLineFeedAndStopsAtSize)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("in.txt", "first\r\nsecond");
    CTextFile file;
    ASSERT_NE(nullptr, file.Open(path.c_str(), "r"));
    char line[32];
    ASSERT_NE(nullptr, file.ReadLine(line, sizeof(line)));
    EXPECT_STREQ("first\n", line);
    char small[4];
    ASSERT_NE(nullptr, file.ReadLine(small, sizeof(small)));
    EXPECT_STREQ("sec", small);
    ASSERT_NE(nullptr, file.ReadLine(line, sizeof(line)));
    EXPECT_STREQ("ond", line);
    EXPECT_EQ(nullptr, file.ReadLine(line, sizeof(line)));
    file.Close();
}

TEST(CTextFile, OperationsWithoutStream)
{
    CTextFile file;
    char line[8];
    EXPECT_EQ(-1, file.Close());
    EXPECT_EQ(nullptr, file.ReadLine(line, sizeof(line)));
    EXPECT_EQ(0u, file.Write("x", 1, 1));
    EXPECT_EQ(nullptr, file.Open("Z:\\no\\such\\folder\\x.txt", "r"));
}

TEST(CTextFile, AppendAndBinaryWrite)
{
    CTestFolder folder;
    std::string path = folder / "a.bin";
    {
        CTextFile file;
        ASSERT_NE(nullptr, file.Open(path.c_str(), "wb"));
        EXPECT_EQ(3u, file.Write("a\nb", 1, 3));
        file.Close();
    }
    CTextFile file;
    ASSERT_NE(nullptr, file.Open(path.c_str(), "a"));
    file.Print("c\n");
    file.Close();
    EXPECT_EQ("a\nbc\r\n", ReadFileBytes(path));
}
