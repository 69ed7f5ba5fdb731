#include "settings/FilterSettings.h"

#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

CFilterDef Def(int type, const char* filter, const char* comment, bool alphabetBS, bool regex)
{
    CFilterDef definition;
    definition.Type = type;
    definition.Filter = filter;
    definition.Comment = comment;
    definition.AlphabetBS = alphabetBS;
    definition.Regex = regex;
    return definition;
}

CFilterList List(const char* title, int actType, std::vector<CFilterDef> definitions)
{
    CFilterList list;
    list.Title = title;
    list.Comment = std::string(title) + "のコメント";
    list.ActType = actType;
    list.Definitions = definitions;
    return list;
}

std::vector<std::string> DefLines(int k, const char* type, const char* filter, const char* alphabetBS,
                                  const char* regex, const char* comment)
{
    std::string n = std::to_string(k);
    return {"Filter" + n + "_Type=" + type, "Filter" + n + "_Filter=" + filter,
            "Filter" + n + "_AlphabetBS=" + alphabetBS, "Filter" + n + "_Regex=" + regex,
            "Filter" + n + "_Comment=" + comment};
}

std::string LoadAndDescribe(const std::string& text, CAppSetting* setting)
{
    CTestFolder folder;
    std::string path = folder.WriteFile("tessik.ini", text);
    CIniFile::FlushProfileCache(path.c_str());
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    LoadFilterSettings(ini, setting);
    std::string description;
    for (const CFilterList& list : setting->FilterLists)
        description += list.Title + ":" + std::to_string(list.ActType) + ":" +
                       std::to_string(list.Definitions.size()) + ";";
    return description;
}

}  // namespace

TEST(FilterSettings, ShorterListsLeaveNoStaleSectionsOrKeys)
{
    CTestFolder folder;
    CIniFile ini;
    ini.Open((folder / "tessik.ini").c_str(), false, false);

    CAppSetting before;
    CFilterDef any = Def(0, ".x", "", false, false);
    before.FilterLists = {List("A", 0, {any}), List("B", 1, {any, any, any, any}), List("C", 0, {}),
                          List("D", 0, {any}), List("E", 0, {any})};
    ASSERT_TRUE(SaveFilterSettings(ini, before));

    CAppSetting after;
    after.FilterSw = true;
    after.FilterLists = {List("一覧", 0, {Def(0, ".jpg", "写真", false, false)}),
                         List("表示", 1, {Def(1, "^a.*\\.txt$", "", true, true), Def(0, ".", "拡張子なし", true, false)}),
                         List("C", 0, {})};
    ASSERT_TRUE(SaveFilterSettings(ini, after));

    std::vector<std::string> lines = {"[FILTER]", "FilterSw=true", "ProfileNum=3",
                                      "[FILTER_0]", "FilterNum=1", "Title=一覧", "Comment=一覧のコメント", "ActType=0"};
    for (const std::string& line : DefLines(0, "0", ".jpg", "false", "false", "写真"))
        lines.push_back(line);
    for (const char* line : {"[FILTER_1]", "FilterNum=2", "Title=表示", "Comment=表示のコメント", "ActType=1"})
        lines.push_back(line);
    for (const std::string& line : DefLines(0, "1", "^a.*\\.txt$", "true", "true", ""))
        lines.push_back(line);
    for (const std::string& line : DefLines(1, "0", ".", "true", "false", "拡張子なし"))
        lines.push_back(line);
    for (const char* line : {"[FILTER_2]", "FilterNum=0", "Title=C", "Comment=Cのコメント", "ActType=0"})
        lines.push_back(line);
    EXPECT_EQ(CrLfLines(lines), ReadFileBytes(ini.GetPath()));

    CAppSetting reloaded;
    LoadFilterSettings(ini, &reloaded);
    EXPECT_TRUE(reloaded.FilterSw);
    ASSERT_EQ(3u, reloaded.FilterLists.size());
    const CFilterDef& both = reloaded.FilterLists[1].Definitions.at(0);
    EXPECT_EQ(1, both.Type);
    EXPECT_EQ("^a.*\\.txt$", both.Filter);
    EXPECT_TRUE(both.AlphabetBS);
    EXPECT_TRUE(both.Regex);
    EXPECT_EQ("拡張子なし", reloaded.FilterLists[1].Definitions.at(1).Comment);
}

TEST(FilterSettings, CountsDecideWhatIsLoaded)
{
    struct
    {
        const char* name;
        std::vector<std::string> lines;
        const char* lists;
    } const cases[] = {
        {"no FILTER section", {"[GENERAL]", "Version=100"}, ""},
        {"ProfileNum 0", {"[FILTER]", "ProfileNum=0", "[FILTER_0]", "Title=A"}, ""},
        {"negative ProfileNum", {"[FILTER]", "ProfileNum=-2", "[FILTER_0]", "Title=A"}, ""},
        {"text ProfileNum", {"[FILTER]", "ProfileNum=abc", "[FILTER_0]", "Title=A"}, ""},
        {"FilterNum missing", {"[FILTER]", "ProfileNum=1", "[FILTER_0]", "Title=A", "ActType=1", "Filter0_Filter=.x"},
         "A:1:0;"},
        {"gap before a present list",
         {"[FILTER]", "ProfileNum=3", "[FILTER_2]", "Title=C", "FilterNum=2", "Filter1_Filter=.x"},
         ":0:0;:0:0;C:0:2;"},
        // A damaged count must not build millions of empty entries.
        {"counts beyond the data",
         {"[FILTER]", "ProfileNum=2000000000", "[FILTER_0]", "Title=A", "FilterNum=1000000000", "Filter0_Type=1"},
         "A:0:1;"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CAppSetting setting;
        EXPECT_EQ(c.lists, LoadAndDescribe(CrLfLines(c.lines), &setting));
        EXPECT_FALSE(setting.FilterSw);
    }

    CAppSetting setting;
    setting.FilterLists.push_back(List("既存", 0, {}));
    EXPECT_EQ("既存:0:0;A:0:0;",
              LoadAndDescribe(CrLfLines({"[FILTER]", "FilterSw=TRUE", "ProfileNum=1", "[FILTER_0]", "Title=A"}),
                              &setting));
    EXPECT_TRUE(setting.FilterSw);
}
