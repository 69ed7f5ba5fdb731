// The in-memory save of the filter sections against the key-by-key save it
// replaces, over files as this program writes them and as hands edit them; and
// stored counts larger than the lists the file holds.
#include "settings/FilterSettings.h"

#include "tests/settings/ReferenceFilterSave.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

CFilterList List(const char* title, int definitions, const char* pattern = ".x", const char* comment = "")
{
    CFilterList list;
    list.Title = title;
    list.Comment = comment;
    for (int k = 0; k < definitions; ++k)
    {
        CFilterDef definition;
        definition.Type = k % 2;
        definition.Filter = std::string(pattern) + std::to_string(k);
        definition.Regex = k % 3 == 0;
        definition.Comment = k % 4 == 0 ? "注釈" : "";
        list.Definitions.push_back(definition);
    }
    return list;
}

CFilterList FollowingGitIgnore(CFilterList list)
{
    list.GitIgnore = true;
    return list;
}

CAppSetting WithLists(std::vector<CFilterList> lists, bool filterSw = true)
{
    CAppSetting setting;
    setting.FilterSw = filterSw;
    setting.FilterLists = lists;
    return setting;
}

// Starting files: as the program writes them, and as a hand may leave them.
const char* const kStartFiles[] = {
    "",
    "[GENERAL]\r\nVersion=100\r\n[FILTER]\r\nFilterSw=true\r\nProfileNum=5\r\n"
    "[FILTER_0]\r\nFilterNum=3\r\nTitle=A\r\nComment=\r\nActType=0\r\nFilter0_Type=0\r\nFilter0_Filter=.x0\r\n"
    "Filter0_AlphabetBS=false\r\nFilter0_Regex=true\r\nFilter0_Comment=注釈\r\nFilter1_Type=1\r\nFilter1_Filter=.x1\r\n"
    "Filter1_AlphabetBS=false\r\nFilter1_Regex=false\r\nFilter1_Comment=\r\nFilter2_Type=0\r\nFilter2_Filter=.x2\r\n"
    "Filter2_AlphabetBS=false\r\nFilter2_Regex=false\r\nFilter2_Comment=\r\n"
    "[FILTER_1]\r\nFilterNum=0\r\nTitle=B\r\nComment=\r\nActType=1\r\n[FILTER_2]\r\nFilterNum=0\r\nTitle=C\r\n"
    "[FILTER_3]\r\nTitle=D\r\n[FILTER_4]\r\nTitle=E\r\n[ARCHIVE]\r\nStatusDialog=true\r\n[7-ZIP]\r\nUse=true\r\n",
    // Hand-edited: blanks, comments, letter case, foreign keys, a duplicate
    // section and no line end at the end.
    "; my settings\r\n\r\n[GENERAL]\r\nVersion = 100\r\n\r\n[filter]\r\nfilterSw=false\r\n[FILTER_0]\r\n"
    "title =  Old title \r\nExtra=keep me\r\nFilter0_Type=1\r\nFilter5_Type=1\r\nfilter1_Filter=lower\r\n"
    "Filter1_Filter=.y\r\n[FILTER_1]\r\nTitle=B\r\n[FILTER_1]\r\nTitle=B again\r\n[FILTER_7]\r\nTitle=far\r\n"
    "[ARCHIVE]\r\nStatusDialog=false",
    // A list that follows the .gitignore files, the key in another case.
    "[FILTER]\r\nFilterSw=true\r\nProfileNum=2\r\n[FILTER_0]\r\nFilterNum=0\r\nTitle=A\r\nComment=\r\nActType=0\r\n"
    "GitIgnore=true\r\n[FILTER_1]\r\nTitle=B\r\ngitignore=true\r\n",
    // Unix line ends and a lone CR.
    "[FILTER]\nFilterSw=true\nProfileNum=1\n[FILTER_0]\nFilterNum=1\nTitle=A\rB\nFilter0_Filter=.z\n",
    // Saved as UTF-8 with a byte-order mark, which the profile functions keep.
    "\xEF\xBB\xBF[FILTER]\r\nFilterSw=true\r\nProfileNum=2\r\n[FILTER_0]\r\nFilterNum=3\r\nTitle=\xE8\xA1\xA8\r\n"
    "Filter2_Type=1\r\n[FILTER_1]\r\nTitle=B\r\n[FILTER_2]\r\nTitle=C\r\n",
};

}  // namespace

TEST(FilterSave, InMemorySaveWritesTheBytesOfTheKeyByKeySave)
{
    // stable: the second save of the same lists leaves the file as it is. Not
    // so for values that end in blanks, which the profile functions write and
    // then trim at their next change, in either save.
    const struct
    {
        CAppSetting setting;
        bool stable;
    } targets[] = {
        {WithLists({}, false), true},
        {WithLists({List("A", 3), List("B", 0)}), true},
        {WithLists({FollowingGitIgnore(List("A", 2)), List("B", 0), FollowingGitIgnore(List("C", 1))}), true},
        {WithLists({List("A", 1), List("表示", 2, "*.表"), List("C", 0), List("D", 4)}), true},
        {WithLists({List(" Old title ", 2, ".y", "  lead"), List("B", 1)}), false},
        // Blanks the profile functions strip or keep: tab and 0x1A go, the
        // full-width space stays.
        {WithLists({List("\t tab\t", 1, " .p ", "\x81\x40wide\x81\x40"), List("end ", 0, ".q", "trail \x1A")}),
         false},
        {WithLists({List("A", 3), List("B  ", 0)}), false},
        {WithLists({List("A", 20), List("B", 20), List("C", 20), List("D", 20), List("E", 20), List("F", 20)}), true},
    };
    for (size_t s = 0; s < sizeof(kStartFiles) / sizeof(kStartFiles[0]); ++s)
    {
        for (size_t t = 0; t < sizeof(targets) / sizeof(targets[0]); ++t)
        {
            SCOPED_TRACE("start file " + std::to_string(s) + ", target " + std::to_string(t));
            CTestFolder folder;
            std::string slow = folder / "slow.ini";
            std::string fast = folder / "fast.ini";
            if (kStartFiles[s][0] != '\0')
            {
                WriteFileBytes(slow, kStartFiles[s]);
                WriteFileBytes(fast, kStartFiles[s]);
            }
            CIniFile slowIni;
            slowIni.Open(slow.c_str(), false, false);
            CIniFile fastIni;
            fastIni.Open(fast.c_str(), false, false);
            std::string once;
            for (int save = 0; save < 2; ++save)
            {
                SCOPED_TRACE("save " + std::to_string(save + 1));
                ReferenceSaveFilterSettings(slowIni, targets[t].setting);
                EXPECT_TRUE(SaveFilterSettings(fastIni, targets[t].setting));
                CIniFile::FlushProfileCache(fast.c_str());
                EXPECT_EQ(ReadFileBytes(slow), ReadFileBytes(fast));
                if (save == 0)
                    once = ReadFileBytes(fast);
                else if (targets[t].stable)
                    EXPECT_EQ(once, ReadFileBytes(fast));
            }
        }
    }
}

TEST(FilterSave, CtrlZInTheFileKeepsWhatFollowsIt)
{
    // Text-mode reading ends a file at 0x1A; the save must not drop the rest.
    const char* const starts[] = {
        "[GENERAL]\r\nName=a\x1A" "b\r\n[FILTER_1]\r\nTitle=old\r\n[ARCHIVE]\r\nStatusDialog=true\r\n",
        "\x1A[FILTER_0]\r\nTitle=\x1A\r\n[ARCHIVE]\r\nStatusDialog=true\r\n",
    };
    for (const char* start : starts)
    {
        CTestFolder folder;
        std::string path = folder / "tessik.ini";
        WriteFileBytes(path, start);
        CIniFile ini;
        ini.Open(path.c_str(), false, false);
        EXPECT_TRUE(SaveFilterSettings(ini, WithLists({List("A", 2)})));
        CIniFile::FlushProfileCache(path.c_str());
        std::string bytes = ReadFileBytes(path);
        EXPECT_NE(std::string::npos, bytes.find("[ARCHIVE]\r\nStatusDialog=true\r\n")) << bytes;
        EXPECT_NE(std::string::npos, bytes.find("Filter1_Filter=.x1\r\n")) << bytes;
        EXPECT_EQ(std::string::npos, bytes.find("[FILTER_1]")) << bytes;
    }
}

TEST(FilterSave, CountsLargerThanTheFileAppendEmptyEntriesUpToABound)
{
    struct
    {
        const char* profileNum;
        const char* filterNum;
        size_t lists;
        size_t definitionsOfFirst;
    } const cases[] = {
        {"3", "2", 3, 2},                // as stored
        {"4", "5", 4, 5},                // two lists and three definitions beyond the file
        {"1", "1", 1, 1},                // the stored count cuts what the file holds
        {"2147483647", "2", 2 + 1024, 2},  // absurd: at most 1024 lists made up
        {"2", "2147483647", 2, 2 + 65536}, // absurd: at most 65536 definitions made up
        {"-5", "2", 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.profileNum) + " lists, " + c.filterNum + " definitions");
        CTestFolder folder;
        std::string path = PlaceIni(folder.Path(), {"[FILTER]", "FilterSw=true", std::string("ProfileNum=") + c.profileNum,
                                                    "[FILTER_0]", std::string("FilterNum=") + c.filterNum, "Title=A",
                                                    "Filter0_Filter=.a", "Filter1_Filter=.b", "[FILTER_1]", "Title=B"});
        CIniFile ini;
        ini.Open(path.c_str(), false, false);
        CAppSetting setting;
        LoadFilterSettings(ini, &setting);
        ASSERT_EQ(c.lists, setting.FilterLists.size());
        if (c.lists == 0)
            continue;
        EXPECT_EQ("A", setting.FilterLists[0].Title);
        ASSERT_EQ(c.definitionsOfFirst, setting.FilterLists[0].Definitions.size());
        EXPECT_EQ(".a", setting.FilterLists[0].Definitions[0].Filter);
        if (c.definitionsOfFirst > 1)
            EXPECT_EQ(".b", setting.FilterLists[0].Definitions[1].Filter);
        if (c.definitionsOfFirst > 2)
            EXPECT_EQ("", setting.FilterLists[0].Definitions.back().Filter);
        if (c.lists > 1)
            EXPECT_EQ("B", setting.FilterLists[1].Title);
        if (c.lists > 2)
        {
            EXPECT_EQ("", setting.FilterLists.back().Title);
            EXPECT_TRUE(setting.FilterLists.back().Definitions.empty());
        }
    }
}
