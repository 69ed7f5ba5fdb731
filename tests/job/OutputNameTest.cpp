// The proposed output name where the dialog tests do not reach: double-byte
// names whose second byte is a backslash, and names that do not fit.
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"
#include "job/OutputName.h"

#include <gtest/gtest.h>

#include <string.h>

TEST(OutputName, ShiftJisTrailBackslashesAreNoSeparators)
{
    CTestFolder data;
    std::string folder = data.MakeFolder("表");  // 0x95 0x5C
    struct
    {
        std::string entry;
        const char* outputFolder;
        std::string expected;
    } cases[] = {
        {"C:\\data\\ソ", nullptr, "C:\\data\\ソ.7z"},             // 0x83 0x5C ends the name
        {"C:\\data\\ソ", "E:\\out\\", "E:\\out\\ソ.7z"},
        {"C:\\data\\a.txt", "E:\\表", "E:\\表\\a.7z"},            // the folder keeps its last character
        {folder, nullptr, folder + ".7z"},
        {folder + "\\", "E:\\out", "E:\\out\\表.7z"},            // a folder typed with its backslash
        {"d:", nullptr, "d:\\d_drive.7z"},
        {"d:", "E:\\out", "E:\\out\\d_drive.7z"},
        {"readme", "E:\\out", "E:\\out\\readme.7z"},
    };
    for (const auto& c : cases)
    {
        char name[1024] = "";
        EXPECT_EQ(1, ProposeOutputName(c.entry.c_str(), c.outputFolder, ".7z", name, sizeof(name))) << c.entry;
        EXPECT_EQ(c.expected, name) << c.entry;
    }
}

TEST(OutputName, ANameThatDoesNotFitLeavesTheBufferAlone)
{
    std::string longEntry = "C:\\" + std::string(1017, 'a') + ".txt";  // 1024 characters
    std::string fitting = "C:\\" + std::string(1016, 'a');            // 1019 + ".7z" = 1022
    char name[1024];
    memset(name, 'x', sizeof(name));
    EXPECT_EQ(0, ProposeOutputName(longEntry.c_str(), nullptr, ".7z", name, sizeof(name)));
    EXPECT_EQ('x', name[0]);
    EXPECT_EQ(0, ProposeOutputName(fitting.c_str(), "E:\\a-long-output-folder", ".7z", name, sizeof(name)));
    EXPECT_EQ('x', name[0]);
    EXPECT_EQ(1, ProposeOutputName(fitting.c_str(), nullptr, ".7z", name, sizeof(name)));
    EXPECT_EQ(fitting + ".7z", name);
    EXPECT_EQ(0, ProposeOutputName("C:\\a.txt", nullptr, ".7z", name, 7));
    EXPECT_EQ(1, ProposeOutputName("C:\\a.txt", nullptr, ".7z", name, 8));
}

// A wide entry proposes ANSI text: "_" for each character without an exact
// ANSI form (a surrogate pair is one character), never "?" nor a look-alike;
// whether it is a folder is told by its wide name.
TEST(OutputName, CharactersBeyondShiftJisBecomeUnderscores)
{
    CTestFolder data;
    std::wstring base = Widen(data.Path());
    WriteWideFile(base + L"\\한.국\\x.txt", "x");
    WriteWideFile(base + L"\\表\\y.txt", "y");
    struct
    {
        std::wstring entry;
        const char* outputFolder;
        std::string expected;
    } cases[] = {
        {L"C:\\data\\한국어", nullptr, "C:\\data\\___.7z"},
        {L"C:\\data\\A\u301CB.txt", nullptr, "C:\\data\\A_B.7z"},  // WAVE DASH, not the tilde 0x81 0x60
        {L"C:\\data\\x\U0001F600.txt", "E:\\out", "E:\\out\\x_.7z"},
        {L"C:\\데이터\\ソ", nullptr, "C:\\___\\ソ.7z"},
        {base + L"\\한.국", nullptr, data.Path() + "\\_._.7z"},  // an existing folder keeps its dot
        {base + L"\\表", nullptr, data.Path() + "\\表.7z"},      // all Shift_JIS: as the ANSI entry
    };
    for (const auto& c : cases)
    {
        char name[1024] = "";
        EXPECT_EQ(1, ProposeOutputName(c.entry, c.outputFolder, ".7z", name, sizeof(name))) << c.expected;
        EXPECT_EQ(c.expected, name);
    }
}
