#include "common/FileBytes.h"

#include "common/TextConvert.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

struct CBytesCase
{
    const char* label;
    std::string bytes;
};

std::string LargeBytes()
{
    // Longer than one read piece, with every byte value in it.
    std::string bytes;
    for (size_t i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    return bytes;
}

}  // namespace

TEST(FileBytes, WrittenAndReadByteForByte)
{
    const CBytesCase cases[] = {
        {"empty", ""},
        {"nul and end-of-file mark", std::string("a\0b\x1A\r\nc\x1A", 8)},
        {"large", LargeBytes()},
    };
    CTestFolder folder;
    for (const CBytesCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        std::string written = folder / "written.bin";
        ASSERT_TRUE(WriteWholeFile(AnsiToWide(written), c.bytes));
        EXPECT_EQ(c.bytes, ReadFileBytes(written));

        std::string given = folder.WriteFile("given.bin", c.bytes);
        std::string read = "left over";
        ASSERT_TRUE(ReadWholeFile(AnsiToWide(given), &read));
        EXPECT_EQ(c.bytes, read);
        ASSERT_TRUE(ReadFileTail(AnsiToWide(given), 5, &read));
        EXPECT_EQ(c.bytes.substr(c.bytes.size() < 5 ? 0 : c.bytes.size() - 5), read);
    }
}

TEST(FileBytes, WriteReplacesLongerFile)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("list.txt", "a much longer old content");
    ASSERT_TRUE(WriteWholeFile(AnsiToWide(path), "new"));
    EXPECT_EQ("new", ReadFileBytes(path));
}

TEST(FileBytes, MissingFileOrFolderFails)
{
    CTestFolder folder;
    std::string bytes = "left over";
    EXPECT_FALSE(ReadWholeFile(AnsiToWide(folder / "missing.bin"), &bytes));
    EXPECT_EQ("", bytes);
    EXPECT_FALSE(ReadFileTail(AnsiToWide(folder / "missing.bin"), 5, &bytes));
    EXPECT_FALSE(WriteWholeFile(AnsiToWide(folder / "no-folder\\x.bin"), "x"));
    EXPECT_FALSE(FolderExists(folder / "no-folder"));
}

TEST(FileBytes, NameWithoutAnAnsiForm)
{
    CTestFolder folder;
    std::wstring path = AnsiToWide(folder.Path()) + L"\\한국어.bin";
    ASSERT_TRUE(WriteWholeFile(path, "bytes"));
    std::string read;
    ASSERT_TRUE(ReadWholeFile(path, &read));
    EXPECT_EQ("bytes", read);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}
