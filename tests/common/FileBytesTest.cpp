#include "common/FileBytes.h"

#include "common/TextConvert.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

TEST(FileBytes, WrittenAndReadByteForByte)
{
    // Longer than one read piece, every byte value in it; in this order each
    // write replaces a longer file.
    std::string large;
    for (size_t i = 0; i < 200000; ++i)
        large += static_cast<char>(i * 7 % 256);
    const std::string cases[] = {large, std::string("a\0b\x1A\r\nc\x1A", 8), ""};
    CTestFolder folder;
    // A name without an ANSI form: only the wide path reaches it.
    std::wstring written = AnsiToWide(folder.Path()) + L"\\한국어.bin";
    for (const std::string& bytes : cases)
    {
        SCOPED_TRACE(bytes.size());
        std::string given = folder.WriteFile("given.bin", bytes);
        std::string read = "left over";
        ASSERT_TRUE(ReadWholeFile(AnsiToWide(given), &read));
        EXPECT_EQ(bytes, read);
        ASSERT_TRUE(ReadFileTail(AnsiToWide(given), 5, &read));
        EXPECT_EQ(bytes.substr(bytes.size() < 5 ? 0 : bytes.size() - 5), read);

        ASSERT_TRUE(WriteWholeFile(written, bytes));
        ASSERT_TRUE(ReadWholeFile(written, &read));
        EXPECT_EQ(bytes, read);
    }
}

TEST(FileBytes, MissingFileOrFolderFails)
{
    CTestFolder folder;
    std::string bytes = "left over";
    EXPECT_FALSE(ReadWholeFile(AnsiToWide(folder / "missing.bin"), &bytes));
    EXPECT_EQ("", bytes);
    EXPECT_FALSE(WriteWholeFile(AnsiToWide(folder / "no-folder\\x.bin"), "x"));
}
