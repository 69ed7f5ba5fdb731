// ".flt" files: what export leaves on disk, what import takes from files of
// every kind, and how the four answers of an import combine.
#include "filters/FilterListFile.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

CFilterDef Commented(CFilterDef definition, const char* comment)
{
    definition.Comment = comment;
    return definition;
}

CFilterList SampleList()
{
    CFilterList list;
    list.Title = "表示用リスト";  // 表 ends in the byte 0x5C
    list.Comment = "ソース=除外; a=b";
    list.ActType = kFilterActOnly;
    list.Definitions = {Commented(Definition(kFilterTypeExtension, ".bak"), "予備"),
                        Definition(kFilterTypeFileName, "報告*.docx", true),
                        Commented(Definition(kFilterTypeFileName, "(a|b)\\.txt", true, true), "両方")};
    return list;
}

// Names in the folder other than the given file: a successor left behind
// would show up here.
std::vector<std::string> OtherFiles(const CTestFolder& folder, const std::string& keep)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder / "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        std::string name = data.cFileName;
        if (name != "." && name != ".." && name != keep)
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

const char kFiveDefinitions[] =
    "[OTHER]\r\nkeep=1\r\n"
    "[FILTER_0]\r\nFilterNum=5\r\nTitle=old\r\nComment=old\r\nActType=0\r\n"
    "Filter0_Type=0\r\nFilter0_Filter=.a\r\nFilter0_AlphabetBS=false\r\nFilter0_Regex=false\r\nFilter0_Comment=\r\n"
    "Filter1_Type=0\r\nFilter1_Filter=.b\r\nFilter1_AlphabetBS=false\r\nFilter1_Regex=false\r\nFilter1_Comment=\r\n"
    "Filter2_Type=0\r\nFilter2_Filter=.c\r\nFilter2_AlphabetBS=false\r\nFilter2_Regex=false\r\nFilter2_Comment=\r\n"
    "Filter3_Type=0\r\nFilter3_Filter=.d\r\nFilter3_AlphabetBS=false\r\nFilter3_Regex=false\r\nFilter3_Comment=\r\n"
    "Filter4_Type=1\r\nFilter4_Filter=e\r\nFilter4_AlphabetBS=true\r\nFilter4_Regex=false\r\nFilter4_Comment=x\r\n"
    "[LAST]\r\nkeep=2\r\n";

}  // namespace

TEST(FilterListFile, NewFileHoldsTheOneListSectionInKeyOrder)
{
    CTestFolder folder;
    std::string path = folder / "list.flt";
    CFilterList list = SampleList();
    list.Definitions.resize(2);
    ASSERT_EQ(1, WriteFilterListFile(path.c_str(), list));
    EXPECT_EQ("[FILTER_0]\r\nFilterNum=2\r\nTitle=表示用リスト\r\nComment=ソース=除外; a=b\r\nActType=1\r\n"
              "Filter0_Type=0\r\nFilter0_Filter=.bak\r\nFilter0_AlphabetBS=false\r\nFilter0_Regex=false\r\n"
              "Filter0_Comment=予備\r\n"
              "Filter1_Type=1\r\nFilter1_Filter=報告*.docx\r\nFilter1_AlphabetBS=true\r\nFilter1_Regex=false\r\n"
              "Filter1_Comment=\r\n",
              ReadFileBytes(path));
    EXPECT_TRUE(OtherFiles(folder, "list.flt").empty());
}

TEST(FilterListFile, WrittenListReadsBackExactly)
{
    CTestFolder folder;
    std::string path = folder / "list.flt";
    CFilterList empty;
    CFilterList withBoth = SampleList();
    withBoth.GitIgnore = true;
    for (const CFilterList& list : {SampleList(), empty, withBoth})
    {
        ASSERT_EQ(1, WriteFilterListFile(path.c_str(), list));
        CFilterList read;
        read.Title = "not replaced";
        read.Definitions.push_back(Definition(0, ".x"));
        ASSERT_EQ(1, ReadFilterListFile(path.c_str(), &read));
        ExpectSameList(list, read);
    }
}

TEST(FilterListFile, WritingOverFiveDefinitionsLeavesTheTwoWrittenAndOtherSections)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("five.flt", kFiveDefinitions);
    CFilterList list;
    list.Title = "new";
    list.Definitions = {Definition(0, ".x"), Definition(1, "y")};
    ASSERT_EQ(1, WriteFilterListFile(path.c_str(), list));
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ("[OTHER]\r\nkeep=1\r\n"
              "[FILTER_0]\r\nFilterNum=2\r\nTitle=new\r\nComment=\r\nActType=0\r\n"
              "Filter0_Type=0\r\nFilter0_Filter=.x\r\nFilter0_AlphabetBS=false\r\nFilter0_Regex=false\r\n"
              "Filter0_Comment=\r\n"
              "Filter1_Type=1\r\nFilter1_Filter=y\r\nFilter1_AlphabetBS=false\r\nFilter1_Regex=false\r\n"
              "Filter1_Comment=\r\n"
              "[LAST]\r\nkeep=2\r\n",
              bytes);
    CFilterList read;
    ASSERT_EQ(1, ReadFilterListFile(path.c_str(), &read));
    ExpectSameList(list, read);
    EXPECT_TRUE(OtherFiles(folder, "five.flt").empty());
}

TEST(FilterListFile, TargetThatCannotBeReplacedIsLeftAsItWas)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("five.flt", kFiveDefinitions);
    CFilterList list = SampleList();

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0, WriteFilterListFile(path.c_str(), list)) << "read-only";
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(kFiveDefinitions, ReadFileBytes(path));

    // Open elsewhere without sharing; then open for reading and writing but
    // without leave to be renamed over.
    const DWORD kShares[] = {0, FILE_SHARE_READ | FILE_SHARE_WRITE};
    for (DWORD share : kShares)
    {
        HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, NULL, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);
        EXPECT_EQ(0, WriteFilterListFile(path.c_str(), list)) << "share " << share;
        CloseHandle(lock);
        EXPECT_EQ(kFiveDefinitions, ReadFileBytes(path)) << "share " << share;
    }
    EXPECT_TRUE(OtherFiles(folder, "five.flt").empty());

    EXPECT_EQ(0, WriteFilterListFile(folder.MakeFolder("a folder.flt").c_str(), list));
    EXPECT_EQ(0, WriteFilterListFile((folder / "missing\\x.flt").c_str(), list));
    EXPECT_FALSE(FolderExists(folder / "missing"));
}

TEST(FilterListFile, FilesThatCannotBeReadLeaveTheListUntouched)
{
    CTestFolder folder;
    std::string locked = folder.WriteFile("locked.flt", kFiveDefinitions);
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    const std::string kPaths[] = {folder / "missing.flt", folder.MakeFolder("folder.flt"), locked};
    for (const std::string& path : kPaths)
    {
        CFilterList list = SampleList();
        EXPECT_EQ(0, ReadFilterListFile(path.c_str(), &list)) << path;
        ExpectSameList(SampleList(), list);
    }
    CloseHandle(lock);
}

TEST(FilterListFile, DamagedAndForeignFilesGiveWhatTheyHoldAndNoMore)
{
    CFilterList fromSettings;
    fromSettings.Title = "first";
    fromSettings.Definitions = {Definition(0, ".tmp")};
    CFilterList twoDefinitions;
    twoDefinitions.Title = "t";
    twoDefinitions.Definitions = {Definition(0, ".a"), Definition(1, "b")};
    CFilterList titleOnly;
    titleOnly.Title = "t";
    CFilterList brokenRegex;
    brokenRegex.Definitions = {Definition(1, "(報告", false, true)};
    CFilterList oddValues;
    oddValues.ActType = 7;
    oddValues.Definitions = {Definition(9, "x")};
    CFilterList gap;
    gap.Definitions = {Definition(0, ".a"), Definition(0, ""), Definition(0, ".c")};

    struct CCase
    {
        const char* name;
        std::string bytes;
        CFilterList expected;
    };
    const CCase kCases[] = {
        {"empty", "", CFilterList()},
        {"binary", std::string("\x00\xFF\xFE[\x01\x02=\x80\x00\r\n\x1A\x9F", 13), CFilterList()},
        {"other layout", "[GENERAL]\r\nVersion=100\r\n[FILTER]\r\nProfileNum=2\r\n[FILTER_1]\r\nTitle=second\r\n"
                         "[FILTER_0]\r\nTitle=first\r\nFilterNum=1\r\nFilter0_Filter=.tmp\r\n",
         fromSettings},
        {"truncated", "[FILTER_0]\r\nFilterNum=3\r\nTitle=t\r\nFilter0_Filter=.a\r\nFilter1_Type=1\r\n"
                      "Filter1_Filter=b\r\nFilter2_Fil",
         twoDefinitions},
        {"huge count", "[FILTER_0]\r\nFilterNum=2147483647\r\nTitle=t\r\nFilter0_Filter=.a\r\n"
                       "Filter1_Type=1\r\nFilter1_Filter=b\r\n",
         twoDefinitions},
        {"count past int", "[FILTER_0]\r\nFilterNum=99999999999999\r\nTitle=t\r\nFilter0_Filter=.a\r\n"
                           "Filter1_Type=1\r\nFilter1_Filter=b\r\n",
         twoDefinitions},
        {"negative count", "[FILTER_0]\r\nFilterNum=-3\r\nTitle=t\r\nFilter0_Filter=.a\r\n", titleOnly},
        {"text count", "[FILTER_0]\r\nFilterNum=many\r\nTitle=t\r\nFilter0_Filter=.a\r\n", titleOnly},
        {"no count", "[FILTER_0]\r\nTitle=t\r\nFilter0_Filter=.a\r\n", titleOnly},
        {"broken expression", "[FILTER_0]\r\nFilterNum=1\r\nFilter0_Type=1\r\nFilter0_Filter=(報告\r\n"
                              "Filter0_Regex=TRUE\r\n",
         brokenRegex},
        {"odd values", "[FILTER_0]\r\nFilterNum=1\r\nActType=7\r\nFilter0_Type=9\r\nFilter0_Filter=x\r\n", oddValues},
        {"gap", "[FILTER_0]\r\nFilterNum=3\r\nFilter0_Filter=.a\r\nFilter2_Filter=.c\r\n", gap},
    };
    CTestFolder folder;
    for (const CCase& c : kCases)
    {
        std::string path = folder.WriteFile(std::string(c.name) + ".flt", c.bytes);
        CFilterList read = SampleList();
        ASSERT_EQ(1, ReadFilterListFile(path.c_str(), &read)) << c.name;
        SCOPED_TRACE(c.name);
        ExpectSameList(c.expected, read);
    }
}

TEST(FilterListFile, ValuesLongerThanTheProfileBufferAreCutToWholeCharacters)
{
    // 2000 double-byte characters: a cut at 1023 bytes would fall inside one.
    std::string title;
    for (int i = 0; i < 2000; ++i)
        title += "表";
    CTestFolder folder;
    std::string path = folder.WriteFile("long.flt", "[FILTER_0]\r\nTitle=" + title + "\r\nFilterNum=1\r\n"
                                                    "Filter0_Filter=" + std::string(5000, 'a') + "\r\n");
    CFilterList read;
    ASSERT_EQ(1, ReadFilterListFile(path.c_str(), &read));
    EXPECT_GE(1023u, read.Title.size());
    EXPECT_LE(1020u, read.Title.size());
    EXPECT_EQ(0u, read.Title.size() % 2);
    EXPECT_EQ(title.substr(0, read.Title.size()), read.Title);
    ASSERT_EQ(1u, read.Definitions.size());
    EXPECT_EQ(std::string(1023, 'a'), read.Definitions[0].Filter);
}

TEST(FilterListFile, AnswersTakeTitleCommentActionAndReplaceOrAppendDefinitions)
{
    CFilterList current;
    current.Title = "current";
    current.Comment = "mine";
    current.ActType = kFilterActExclude;
    current.Definitions = {Definition(0, ".a"), Definition(0, ".b")};
    CFilterList imported;
    imported.Title = "file";
    imported.Comment = "theirs";
    imported.ActType = kFilterActOnly;
    imported.GitIgnore = true;
    imported.Definitions = {Definition(1, "x"), Definition(1, "y"), Definition(1, "z")};

    for (int answers = 0; answers < 16; ++answers)
    {
        CFilterImportChoice choice;
        choice.title = (answers & 1) != 0;
        choice.comment = (answers & 2) != 0;
        choice.replaceDefinitions = (answers & 4) != 0;
        choice.action = (answers & 8) != 0;
        CFilterList edited = current;
        ApplyImportedList(imported, choice, &edited);
        CFilterList expected = current;
        if (choice.title)
            expected.Title = imported.Title;
        if (choice.comment)
            expected.Comment = imported.Comment;
        if (choice.action)
        {
            expected.ActType = imported.ActType;
            expected.GitIgnore = imported.GitIgnore;
        }
        expected.Definitions = choice.replaceDefinitions
                                   ? imported.Definitions
                                   : std::vector<CFilterDef>{Definition(0, ".a"), Definition(0, ".b"),
                                                             Definition(1, "x"), Definition(1, "y"),
                                                             Definition(1, "z")};
        SCOPED_TRACE(answers);
        ExpectSameList(expected, edited);
    }
}
