#include "settings/FilterSettings.h"

#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

CFilterList List(const char* title, int actType, std::vector<CFilterDef> definitions, bool gitIgnore = false)
{
    CFilterList list;
    list.Title = title;
    list.ActType = actType;
    list.Definitions = definitions;
    list.GitIgnore = gitIgnore;
    return list;
}

}  // namespace

TEST(FilterSettings, ShorterListsLeaveNoStaleSectionsOrKeys)
{
    CTestFolder folder;
    CIniFile ini;
    ini.Open((folder / "tessik.ini").c_str(), false, false);
    CAppSetting before;
    CFilterDef any{0, ".x", "", false, false};
    // The .gitignore switch is written while it is on, and its key removed once off.
    before.FilterLists = {List("A", 0, {any}), List("B", 1, {any, any, any, any}, true), List("C", 0, {}),
                          List("D", 0, {any}), List("E", 0, {any})};
    ASSERT_TRUE(SaveFilterSettings(ini, before));

    CAppSetting after;
    after.FilterLists = {List("A", 0, {any}, true), List("表示", 1, {{1, "^a.*$", "正規表現", true, true}, any}),
                         List("C", 0, {})};
    ASSERT_TRUE(SaveFilterSettings(ini, after));
    EXPECT_EQ(CrLfLines({"[FILTER]", "FilterSw=false", "ProfileNum=3",
                         // A key new to a section goes to its end, as the profile functions put it.
                         "[FILTER_0]", "FilterNum=1", "Title=A", "Comment=", "ActType=0", "Filter0_Type=0",
                         "Filter0_Filter=.x", "Filter0_AlphabetBS=false", "Filter0_Regex=false", "Filter0_Comment=",
                         "GitIgnore=true",
                         "[FILTER_1]", "FilterNum=2", "Title=表示", "Comment=", "ActType=1", "Filter0_Type=1",
                         "Filter0_Filter=^a.*$", "Filter0_AlphabetBS=true", "Filter0_Regex=true",
                         "Filter0_Comment=正規表現", "Filter1_Type=0", "Filter1_Filter=.x", "Filter1_AlphabetBS=false",
                         "Filter1_Regex=false", "Filter1_Comment=",
                         "[FILTER_2]", "FilterNum=0", "Title=C", "Comment=", "ActType=0"}),
              ReadFileBytes(ini.GetPath()));
}

TEST(FilterSettings, CountsDecideWhatIsLoaded)
{
    const struct
    {
        std::vector<std::string> lines;
        const char* lists;  // title:action:definitions, "+g" when it follows .gitignore files; per list
    } cases[] = {
        {{"[GENERAL]", "Version=100"}, ""},
        {{"[FILTER]", "ProfileNum=-2", "[FILTER_0]", "Title=A"}, ""},
        {{"[FILTER]", "ProfileNum=abc", "[FILTER_0]", "Title=A"}, ""},
        {{"[FILTER]", "ProfileNum=1", "[FILTER_0]", "Title=A", "ActType=1", "Filter0_Filter=.x"}, "A:1:0;"},
        {{"[FILTER]", "ProfileNum=3", "[FILTER_0]", "GitIgnore=true", "[FILTER_1]", "GitIgnore=false", "[FILTER_2]",
          "gitignore=TRUE"},
         ":0:0+g;:0:0;:0:0+g;"},
        {{"[FILTER]", "ProfileNum=3", "[FILTER_2]", "Title=C", "FilterNum=2", "Filter1_Filter=.x"}, ":0:0;:0:0;C:0:2;"},
        // A damaged count must not build millions of empty entries: the tail the
        // file does not hold is bounded to 1024 lists and 65536 definitions.
        {{"[FILTER]", "ProfileNum=2000000000", "[FILTER_0]", "Title=A", "FilterNum=1000000000", "Filter0_Type=1"},
         [] {
             static std::string lists = "A:0:65537;";
             for (int i = 0; i < 1024; ++i)
                 lists += ":0:0;";
             return lists.c_str();
         }()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.lines.at(1));
        CTestFolder folder;
        CIniFile ini;
        ini.Open(PlaceIni(folder.Path(), c.lines).c_str(), false, false);
        CAppSetting setting;
        LoadFilterSettings(ini, &setting);
        std::string lists;
        for (const CFilterList& list : setting.FilterLists)
            lists += list.Title + ":" + std::to_string(list.ActType) + ":" + std::to_string(list.Definitions.size()) +
                     (list.GitIgnore ? "+g;" : ";");
        EXPECT_EQ(c.lists, lists);
    }
}
