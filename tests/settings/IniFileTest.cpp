#include "settings/IniFile.h"

#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string CrLf(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

}  // namespace

TEST(CIniFile, DeleteSectionAndDeleteKeyRewriteTheText)
{
    // A read stops after 2047 characters; the rest of a longer line must not be
    // taken for a line of its own, least of all for a section header.
    const std::string longLine = "long=" + std::string(2042, 'x') + "[B]" + std::string(3000, 'y') + "\n";
    const struct
    {
        const char* section;
        const char* key;  // nullptr: DeleteSection
        std::string before;
        std::string after;
        int result;
    } cases[] = {
        {"B", nullptr, "[A]\na=1\n[B]\nb=1\n\nb2=2\n[C]\nc=1\n", "[A]\na=1\n[C]\nc=1\n", 1},
        {"A", nullptr, "[A]\na=1\n[B]\nb=1\n[A]\nx=2\n", "[B]\nb=1\n", 1},
        {"A", nullptr, "[AB]\na=1\n[a]\nb=1\n", "[AB]\na=1\n[a]\nb=1\n", 0},
        {"A", nullptr, "[A]\n" + longLine + "k=1\n[B]\n", "[B]\n", 1},
        {"B", "k", "[A]\nk=1\n[B]\nk=2\nkk=3\nk=4\n[C]\nk=5\n", "[A]\nk=1\n[B]\nkk=3\n[C]\nk=5\n", 1},
        {"A", "k", "[A]\nk =1\nK=2\n", "[A]\nk =1\nK=2\n", 0},
        {"Z", "k", "[A]\nk=1\n", "[A]\nk=1\n", 0},
        {"A", "b", "[A]\na=1\nb=2", "[A]\na=1\n", 1},
        {"A", "k", "[A]\n" + longLine + "k=1\n[B]\nk=2\n", "[A]\n" + longLine + "[B]\nk=2\n", 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.before.substr(0, 40));
        CTestFolder folder;
        std::string path = folder.WriteFile("tessik.ini", CrLf(c.before));
        CIniFile ini;
        ini.Open(path.c_str(), false, false);
        EXPECT_EQ(c.result, c.key ? ini.DeleteKey(c.section, c.key) : ini.DeleteSection(c.section));
        EXPECT_EQ(CrLf(c.after), ReadFileBytes(path));
        EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(folder.Path()));
    }
}

TEST(CIniFile, RewriteThatCannotReplaceLeavesFileWhole)
{
    CTestFolder folder;
    std::string path = PlaceIni(folder.Path(), {"[A]", "k=1", "[B]", "b=2"});
    const std::string text = ReadFileBytes(path);
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    // Another program holds the file open without letting it be replaced.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, ini.DeleteKey("A", "k"));
    CloseHandle(held);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, ini.DeleteSection("B"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(text, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(folder.Path()));
}
