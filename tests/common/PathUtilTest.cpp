#include "common/PathUtil.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <set>

#include <string.h>

#include <string>

// 表 is 0x95 0x5C in Shift_JIS: its trail byte is a backslash.
static const char kHyou[] = "表";

TEST(GetPathType, FilesFoldersAndMissingPaths)
{
    CTestFolder folder;
    std::string file = folder.WriteFile("a.txt", "x");
    std::string sub = folder.MakeFolder("sub");

    EXPECT_EQ(kPathFile, GetPathType(file.c_str()));
    EXPECT_EQ(kPathFolder, GetPathType(sub.c_str()));
    EXPECT_EQ(kPathMissing, GetPathType((folder / "nothing").c_str()));
    // A folder named with a trailing backslash is not found (only roots are).
    EXPECT_EQ(kPathMissing, GetPathType((sub + "\\").c_str()));
}

TEST(GetPathType, DriveRootsWithAndWithoutBackslash)
{
    EXPECT_EQ(kPathFolder, GetPathType("C:"));
    EXPECT_EQ(kPathFolder, GetPathType("c:\\"));
    EXPECT_EQ(kPathMissing, GetPathType("Q:\\"));
}

TEST(GetPathType, RelativeNameResolvesAgainstCurrentDirectory)
{
    CTestFolder folder;
    folder.WriteFile("rel.txt", "x");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(folder.Path().c_str());
    int kind = GetPathType("rel.txt");
    int missing = GetPathType("other.txt");
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(kPathFile, kind);
    EXPECT_EQ(kPathMissing, missing);
}

TEST(CreateFolderTree, CreatesEveryLevel)
{
    CTestFolder folder;
    std::string deep = folder / "x\\y\\z";
    EXPECT_EQ(1, CreateFolderTree((deep + "\\").c_str()));
    EXPECT_TRUE(FolderExists(deep));
    EXPECT_EQ(1, CreateFolderTree(deep.c_str()));  // existing tree
}

TEST(CreateFolderTree, FileInTheWayFailsAndCreatesNothingBelow)
{
    CTestFolder folder;
    folder.WriteFile("x", "file");
    EXPECT_EQ(0, CreateFolderTree((folder / "x\\y\\z").c_str()));
    EXPECT_FALSE(FolderExists(folder / "x\\y"));
}

TEST(CreateFolderTree, NetworkPathWithoutShareFails)
{
    EXPECT_EQ(0, CreateFolderTree("\\\\server"));
}

TEST(CreateFolderTree, KeepsDoubleByteCharacterWithBackslashTrailByte)
{
    CTestFolder folder;
    std::string deep = folder / (std::string(kHyou) + "\\" + kHyou + "2");
    EXPECT_EQ(1, CreateFolderTree(deep.c_str()));
    EXPECT_TRUE(FolderExists(folder / kHyou));
    EXPECT_TRUE(FolderExists(deep));
}

TEST(GetParentFolder, CopiesTextBeforeLastBackslash)
{
    char buffer[64];
    EXPECT_EQ(4, GetParentFolder("C:\\a\\b.txt", buffer, sizeof(buffer)));
    EXPECT_STREQ("C:\\a", buffer);

    // The trail byte of 表 is not the last backslash.
    std::string path = std::string("C:\\d\\") + kHyou;
    EXPECT_EQ(4, GetParentFolder(path.c_str(), buffer, sizeof(buffer)));
    EXPECT_STREQ("C:\\d", buffer);
}

TEST(GetParentFolder, FailsWithoutTouchingBuffer)
{
    char buffer[8];
    strcpy(buffer, "keep");
    EXPECT_EQ(0, GetParentFolder("\\name", buffer, sizeof(buffer)));
    EXPECT_EQ(0, GetParentFolder("name", buffer, sizeof(buffer)));
    EXPECT_STREQ("keep", buffer);
    // The size must exceed the length: 4 characters need 5 bytes.
    char small[4];
    EXPECT_EQ(0, GetParentFolder("C:\\a\\b", small, sizeof(small)));
    char exact[5];
    EXPECT_EQ(4, GetParentFolder("C:\\a\\b", exact, sizeof(exact)));
}

TEST(GetModuleFolder, IsTheTestExecutablesFolder)
{
    char buffer[MAX_PATH];
    ASSERT_GT(GetModuleFolder(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(TestExeFolder(), buffer);
}

TEST(GetSpecialFolderPath, ProgramFolderAndSizeCheck)
{
    char buffer[300];
    EXPECT_EQ(0, GetSpecialFolderPath(NULL, kCsidlProgramFolder, buffer, 259));
    ASSERT_NE(0, GetSpecialFolderPath(NULL, kCsidlProgramFolder, buffer, sizeof(buffer)));
    EXPECT_EQ(TestExeFolder(), buffer);
    EXPECT_NE(0, GetSpecialFolderPath(NULL, 26 /* CSIDL_APPDATA */, buffer, sizeof(buffer)));
    EXPECT_GT(strlen(buffer), 3u);
}

TEST(MakeTempName, ClockValueFormula)
{
    SYSTEMTIME time = {};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 7;
    time.wHour = 13;
    time.wMinute = 4;
    time.wSecond = 25;
    time.wMilliseconds = 321;
    unsigned int expected = (12u + 7 + 13 + 4 + 25 + 321) * 4u * 25u * 321u + 2026u;
    EXPECT_EQ(expected, TempNameValue(time));

    time.wMilliseconds = 0;  // any zero factor leaves the year alone
    EXPECT_EQ(2026u, TempNameValue(time));
}

TEST(MakeTempName, FormatAndSizeCheck)
{
    char buffer[64];
    ASSERT_EQ(1, MakeTempName("C:\\t", "res", buffer, sizeof(buffer)));
    ASSERT_EQ(strlen("C:\\t\\res") + 8, strlen(buffer));
    EXPECT_EQ(0, strncmp(buffer, "C:\\t\\res", 8));
    EXPECT_EQ(strlen(buffer + 8), strspn(buffer + 8, "0123456789abcdef"));

    // folder + prefix + 10: backslash, eight digits and the terminator.
    char exact[4 + 3 + 10];
    EXPECT_EQ(1, MakeTempName("C:\\t", "res", exact, sizeof(exact)));
    EXPECT_EQ(0, MakeTempName("C:\\t", "res", exact, sizeof(exact) - 1));
}

TEST(MakeUniqueTempName, NamesInARowDifferAndNeverWait)
{
    CTestFolder folder;
    char first[MAX_PATH];
    char second[MAX_PATH];
    // Occupy the next few values so that a collision must be stepped over.
    ASSERT_EQ(1, MakeUniqueTempName(folder.Path().c_str(), "res", ".tmp", first, sizeof(first)));
    WriteFileBytes(first, "");

    DWORD start = GetTickCount();
    for (int i = 0; i < 50; ++i)
    {
        ASSERT_EQ(1, MakeUniqueTempName(folder.Path().c_str(), "res", ".tmp", second, sizeof(second)));
        ASSERT_FALSE(FileExists(second)) << second;
        WriteFileBytes(second, "");
    }
    // Fifty names within the same clock reading must not wait for the clock.
    EXPECT_LT(GetTickCount() - start, 5000u);

    char a[MAX_PATH];
    char b[MAX_PATH];
    ASSERT_EQ(1, MakeUniqueTempName(folder.Path().c_str(), "lh", ".lzh", a, sizeof(a)));
    ASSERT_EQ(1, MakeUniqueTempName(folder.Path().c_str(), "lh", ".lzh", b, sizeof(b)));
    EXPECT_STRNE(a, b);
    EXPECT_EQ(".lzh", std::string(a).substr(strlen(a) - 4));
}

// Programs started in the same millisecond read the same clock value: the
// name is theirs only once the file exists.
TEST(CreateUniqueTempFile, EachNameIsCreatedEmptyAndAFolderThatTakesNoFileFails)
{
    CTestFolder folder;
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i)
    {
        char name[MAX_PATH];
        ASSERT_EQ(1, CreateUniqueTempFile(folder.Path().c_str(), "res", ".tmp", name, sizeof(name)));
        EXPECT_EQ("", ReadFileBytes(name)) << name;
        names.insert(name);
    }
    EXPECT_EQ(20u, names.size());

    char name[MAX_PATH] = "x";
    EXPECT_EQ(0, CreateUniqueTempFile((folder / "missing").c_str(), "res", ".tmp", name, sizeof(name)));
    EXPECT_STREQ("", name);
}

TEST(MakeUniqueTempName, SizeCountsExtensionAndTerminator)
{
    CTestFolder folder;
    size_t needed = folder.Path().size() + 1 + 3 + 8 + 4 + 1;
    char buffer[MAX_PATH];
    EXPECT_EQ(0, MakeUniqueTempName(folder.Path().c_str(), "res", ".tmp", buffer, needed - 1));
    EXPECT_EQ(1, MakeUniqueTempName(folder.Path().c_str(), "res", ".tmp", buffer, needed));
}

struct CExtensionCase
{
    const char* path;
    const char* extension;
    int result;
    const char* expected;
};

TEST(ReplaceExtension, Table)
{
    const CExtensionCase cases[] = {
        {"C:\\a\\b.txt", ".exe", 1, "C:\\a\\b.exe"},
        {"C:\\a\\b", ".exe", 1, "C:\\a\\b.exe"},
        {"C:\\a.b\\c", ".zip", 1, "C:\\a.b\\c.zip"},
        {"C:\\a\\b.", ".7z", 1, "C:\\a\\b.7z"},
        {"C:\\", ".exe", 0, ""},
        {"D:", ".exe", 0, ""},
    };
    for (const CExtensionCase& c : cases)
    {
        char buffer[64] = "";
        EXPECT_EQ(c.result, ReplaceExtension(c.path, c.extension, buffer, sizeof(buffer))) << c.path;
        if (c.result)
        {
            EXPECT_STREQ(c.expected, buffer) << c.path;
        }
    }
}

TEST(ReplaceExtension, ExistingFolderKeepsWholeName)
{
    CTestFolder folder;
    std::string dir = folder.MakeFolder("my.docs");
    char buffer[MAX_PATH];
    ASSERT_EQ(1, ReplaceExtension((dir + "\\").c_str(), ".lzh", buffer, sizeof(buffer)));
    EXPECT_EQ(dir + ".lzh", buffer);
    ASSERT_EQ(1, ReplaceExtension(dir.c_str(), ".lzh", buffer, sizeof(buffer)));
    EXPECT_EQ(dir + ".lzh", buffer);
}

TEST(ReplaceExtension, BufferMustHoldResultAndTerminator)
{
    char buffer[16];
    // "C:\a\b." (7) + "exe" (3) + terminator would fit, but the check counts the
    // whole extension with its dot: 7 + 4 + 1 = 12.
    EXPECT_EQ(0, ReplaceExtension("C:\\a\\b.txt", ".exe", buffer, 11));
    EXPECT_EQ(1, ReplaceExtension("C:\\a\\b.txt", ".exe", buffer, 12));
    EXPECT_STREQ("C:\\a\\b.exe", buffer);
}

TEST(GetExtension, Table)
{
    struct
    {
        const char* path;
        int result;
        const char* expected;
    } cases[] = {
        {"C:\\a\\b.txt", 4, ".txt"},
        {"C:\\a.b\\c", 1, "."},
        {"C:\\a\\README", 1, "."},
        {"C:\\a\\.profile", 8, ".profile"},
        {"README", -1, ""},
        {"", -1, ""},
        {"a.tar.gz", 3, ".gz"},
    };
    for (const auto& c : cases)
    {
        char buffer[32] = "junk";
        EXPECT_EQ(c.result, GetExtension(c.path, buffer, sizeof(buffer))) << c.path;
        EXPECT_STREQ(c.expected, buffer) << c.path;
    }
}

TEST(GetExtension, BufferTooSmall)
{
    char buffer[4];
    EXPECT_EQ(-1, GetExtension("C:\\a\\b.txt", buffer, sizeof(buffer)));
    EXPECT_EQ(-1, GetExtension("C:\\a\\README", buffer, 1));
    // A lead byte followed by '.' is one character, not an extension.
    std::string name = std::string("C:\\a\\") + kHyou;
    char big[16];
    EXPECT_EQ(1, GetExtension(name.c_str(), big, sizeof(big)));
    EXPECT_STREQ(".", big);
}

TEST(TextHelpers, TrailingNewlineAndBackslash)
{
    char line[] = "abc\n";
    EXPECT_EQ(1, RemoveTrailingNewline(line));
    EXPECT_STREQ("abc", line);
    EXPECT_EQ(0, RemoveTrailingNewline(line));
    char empty[] = "";
    EXPECT_EQ(0, RemoveTrailingNewline(empty));

    char folder[] = "C:\\a\\";
    EXPECT_EQ(1, RemoveTrailingBackslash(folder));
    EXPECT_STREQ("C:\\a", folder);

    char hyou[8];
    strcpy(hyou, kHyou);
    EXPECT_EQ(0, RemoveTrailingBackslash(hyou));
    EXPECT_STREQ(kHyou, hyou);
}

TEST(TextHelpers, ReplaceCharSkipsDoubleByteCharacters)
{
    std::string text = std::string("a\\") + kHyou + "\\b";
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(2, ReplaceChar(buffer.data(), '\\', '/'));
    EXPECT_EQ(std::string("a/") + kHyou + "/b", buffer.data());
}

TEST(TextHelpers, BoolTextForms)
{
    EXPECT_EQ(1, ParseBool("true"));
    EXPECT_EQ(1, ParseBool("TRUE"));
    EXPECT_EQ(1, ParseBool("True"));
    EXPECT_EQ(0, ParseBool("1"));
    EXPECT_EQ(0, ParseBool("yes"));
    EXPECT_EQ(0, ParseBool(""));
    EXPECT_EQ(0, ParseBool("true "));
    EXPECT_STREQ("true", FormatBool(5));
    EXPECT_STREQ("false", FormatBool(0));
}
