#include "settings/IniFile.h"

#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string PlaceIni(const CTestFolder& folder, const std::string& bytes)
{
    std::string path = folder.WriteFile("tessik.ini", bytes);
    CIniFile::FlushProfileCache(path.c_str());
    return path;
}

std::vector<std::string> FilesIn(const CTestFolder& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder / "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

}  // namespace

TEST(CIniFile, OpenProvesAccessWithoutCreatingOrEmptying)
{
    CTestFolder folder;
    CIniFile ini;
    EXPECT_FALSE(ini.Open(folder.Path().c_str(), false, false));
    EXPECT_TRUE(ini.Open((folder / "missing.ini").c_str(), false, false));
    EXPECT_FALSE(FileExists(folder / "missing.ini"));
    EXPECT_EQ(folder / "missing.ini", ini.GetPath());

    std::string path = PlaceIni(folder, "[A]\r\nk=v\r\n");
    EXPECT_TRUE(ini.Open(path.c_str(), true, true));
    EXPECT_TRUE(ini.Open(path.c_str(), false, false));
    EXPECT_EQ("[A]\r\nk=v\r\n", ReadFileBytes(path));
    EXPECT_TRUE(ini.Open(path.c_str(), false, true));
    EXPECT_EQ("", ReadFileBytes(path));
    ini.Close();
    EXPECT_STREQ("", ini.GetPath());
}

TEST(CIniFile, TypedAccessorsUseDefaultOnlyForMissingOrEmpty)
{
    CTestFolder folder;
    CIniFile ini;
    ini.Open(PlaceIni(folder, "[S]\r\nn= -12x\r\ne=\r\nb=TRUE\r\nw=abc\r\n").c_str(), false, false);
    EXPECT_EQ(-12, ini.GetInt("S", "n", 5));
    EXPECT_EQ(5, ini.GetInt("S", "e", 5));
    EXPECT_EQ(5, ini.GetInt("S", "none", 5));
    EXPECT_EQ(0, ini.GetInt("S", "w", 5));
    EXPECT_TRUE(ini.GetBool("S", "b", false));
    EXPECT_FALSE(ini.GetBool("S", "w", true));
    EXPECT_TRUE(ini.GetBool("S", "e", true));

    EXPECT_TRUE(ini.WriteInt("S", "n", 42));
    EXPECT_TRUE(ini.WriteBool("S", "b", false));
    char value[1024];
    EXPECT_EQ(2u, ini.GetString("S", "n", "", value, sizeof(value)));
    EXPECT_STREQ("42", value);
    EXPECT_EQ(5u, ini.GetString("S", "b", "", value, sizeof(value)));
    EXPECT_STREQ("false", value);
}

struct CRewriteCase
{
    const char* name;
    const char* section;
    const char* key;  // NULL: DeleteSection
    const char* before;
    const char* after;
    int result;
};

TEST(CIniFile, DeleteSectionAndDeleteKeyRewriteTheText)
{
    const CRewriteCase cases[] = {
        {"middle section, next header kept", "B", NULL, "[A]\na=1\n[B]\nb=1\n\nb2=2\n[C]\nc=1\n",
         "[A]\na=1\n[C]\nc=1\n", 1},
        {"last section and repeated header", "A", NULL, "[A]\na=1\n[B]\nb=1\n[A]\nx=2\n", "[B]\nb=1\n", 1},
        {"header compared over its length", "A", NULL, "[AB]\na=1\n[a]\nb=1\n", "[AB]\na=1\n[a]\nb=1\n", 0},
        {"key only in its section", "B", "k", "[A]\nk=1\n[B]\nk=2\nkk=3\nk=4\n[C]\nk=5\n",
         "[A]\nk=1\n[B]\nkk=3\n[C]\nk=5\n", 1},
        {"key with blank before = is not the key", "A", "k", "[A]\nk =1\nK=2\n", "[A]\nk =1\nK=2\n", 0},
        {"section missing", "Z", "k", "[A]\nk=1\n", "[A]\nk=1\n", 0},
        {"last line without line end", "A", "b", "[A]\na=1\nb=2", "[A]\na=1\n", 1},
    };
    for (const CRewriteCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTestFolder folder;
        std::string before = c.before, after = c.after;
        auto crlf = [](std::string text) {
            std::string out;
            for (char ch : text)
                out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
            return out;
        };
        CIniFile ini;
        ini.Open(PlaceIni(folder, crlf(before)).c_str(), false, false);
        int result = c.key ? ini.DeleteKey(c.section, c.key) : ini.DeleteSection(c.section);
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(crlf(after), ReadFileBytes(ini.GetPath()));
        EXPECT_EQ(1u, FilesIn(folder).size());
    }
}

// A read stops after 2047 characters; the rest of such a line must not be taken
// for a line of its own, least of all for a section header.
TEST(CIniFile, LinesLongerThanOneReadSurviveRewrites)
{
    std::string longLine = "long=" + std::string(2042, 'x') + "[B]" + std::string(3000, 'y') + "\r\n";
    std::string text = "[A]\r\n" + longLine + "k=1\r\n[B]\r\nk=2\r\n";
    CTestFolder folder;
    CIniFile ini;
    ini.Open(PlaceIni(folder, text).c_str(), false, false);

    EXPECT_EQ(1, ini.DeleteKey("A", "k"));
    EXPECT_EQ("[A]\r\n" + longLine + "[B]\r\nk=2\r\n", ReadFileBytes(ini.GetPath()));
    EXPECT_EQ(1, ini.DeleteKey("B", "k"));
    EXPECT_EQ("[A]\r\n" + longLine + "[B]\r\n", ReadFileBytes(ini.GetPath()));
    EXPECT_EQ(1, ini.DeleteSection("A"));
    EXPECT_EQ("[B]\r\n", ReadFileBytes(ini.GetPath()));
}

TEST(CIniFile, RewriteThatCannotReplaceLeavesFileWhole)
{
    CTestFolder folder;
    const std::string text = "[A]\r\nk=1\r\n[B]\r\nb=2\r\n";
    std::string path = PlaceIni(folder, text);
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    {
        // Another program holds the file open without letting it be replaced.
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        EXPECT_EQ(0, ini.DeleteKey("A", "k"));
        EXPECT_EQ(0, ini.DeleteSection("B"));
        CloseHandle(held);
    }
    EXPECT_EQ(text, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(folder));

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, ini.DeleteSection("B"));
    EXPECT_EQ(text, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(folder));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// After a rewrite the profile functions must not write back a key they read
// before it was removed.
TEST(CIniFile, ProfileWritesAfterRewriteDoNotResurrectKeys)
{
    CTestFolder folder;
    CIniFile ini;
    ini.Open((folder / "tessik.ini").c_str(), false, false);
    for (int round = 0; round < 20; ++round)
    {
        ini.WriteString("A", "gone", "1");
        ini.WriteString("A", "kept", "1");
        ASSERT_EQ(1, ini.DeleteKey("A", "gone"));
        ini.WriteString("B", "later", "1");
        ASSERT_EQ("[A]\r\nkept=1\r\n[B]\r\nlater=1\r\n", ReadFileBytes(ini.GetPath())) << round;
        ASSERT_EQ(1, ini.DeleteSection("B"));
        ASSERT_EQ(1, ini.DeleteSection("A"));
    }
}
