#include "filters/FilterMatch.h"

#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// A job with the filter switch on and one chosen list, after an unrelated first list.
CCompressJob JobWithList(const std::vector<CFilterDef>& definitions, int actType,
                         const char* title = "除外リスト")
{
    CCompressJob job;
    job.Setting.FilterSw = true;
    CFilterList other;
    other.Title = "別のリスト";
    other.ActType = kFilterActOnly;
    job.Setting.FilterLists.push_back(other);
    CFilterList list;
    list.Title = title;
    list.ActType = actType;
    list.Definitions = definitions;
    job.Setting.FilterLists.push_back(list);
    job.FilterListIndex = 1;
    return job;
}

class FilterMatch : public ::testing::Test
{
protected:
    void TearDown() override
    {
        ClearCompiledFilters();
        CCompressJob off;
        CompileFilterList(&off);
    }

    // The names of the list that IsTargetFile takes, in order.
    static std::string Taken(const std::vector<const char*>& names)
    {
        std::string taken;
        for (const char* name : names)
        {
            if (IsTargetFile(name, kTargetFile))
                taken += std::string(taken.empty() ? "" : " ") + name;
        }
        return taken;
    }
};

struct CMatchCase
{
    CFilterDef definition;
    std::vector<const char*> matching;
    std::vector<const char*> notMatching;
};

}  // namespace

TEST_F(FilterMatch, SingleDefinitionsMatchWholeNamesAndExtensions)
{
    const int ext = kFilterTypeExtension;
    const int name = kFilterTypeFileName;
    const CMatchCase kCases[] = {
        {Definition(name, "*.txt"), {"readme.txt", "README.TXT", ".txt"}, {"readme.txt.bak", "readme"}},
        {Definition(name, "readme"), {"readme", "ReadMe"}, {"readme.txt", "areadme"}},
        {Definition(name, "ABC*"), {"abcdef.txt", "ABC"}, {"xabc"}},
        {Definition(name, "ABC*", true), {"ABCdef.txt"}, {"abcdef.txt", "Abc"}},
        {Definition(name, "a?c"), {"abc", "a表c", "aアc", "a.c"}, {"ac", "abbc", "a表示c"}},
        {Definition(name, "a+b(1).txt"), {"a+b(1).txt", "A+B(1).TXT"}, {"ab1.txt", "aab1xtxt"}},
        {Definition(name, "表*"), {"表示.txt", "表"}, {"示表.txt", "x表"}},
        {Definition(name, "*ソ"), {"ソ", "アイソ"}, {"ソx"}},
        {Definition(name, "~$*"), {"~$Book1.xlsx"}, {"Book1.xlsx"}},
        {Definition(name, "Thumbs.db"), {"Thumbs.db", "thumbs.DB"}, {"Thumbs.db1", "ThumbsXdb"}},
        // Full-width letters are never folded.
        {Definition(name, "Ｂ*"), {"Ｂ.txt"}, {"ｂ.txt", "B.txt"}},
        {Definition(name, "[0-9]+\\.log", false, true), {"123.log"}, {"a123.log", "123.LOG", "123xlog"}},
        {Definition(name, "[a-z]+\\.TXT", true, true), {"abc.TXT"}, {"ABC.TXT", "abc.txt"}},
        {Definition(ext, "."), {"README", "Makefile", "trailing."}, {"a.txt", ".profile"}},
        {Definition(ext, ".*"), {"README", "a.txt", ".profile", "a.b.c"}, {}},
        {Definition(ext, ".txt"), {"a.txt", "a.b.TXT", ".txt"}, {"txt", "a.txt.gz", "a.txtx"}},
        {Definition(ext, ".profile"), {".profile"}, {"a", "x.profile.bak"}},
        {Definition(ext, ".tar.gz"), {}, {"a.tar.gz"}},
        // Read from a file without its dot: no extension is ever just "txt".
        {Definition(ext, "txt"), {}, {"a.txt", "txt"}},
        {Definition(ext, ".表"), {"a.表", "b.c.表"}, {"表", "a.表示"}},
    };
    for (const CMatchCase& c : kCases)
    {
        CCompressJob job = JobWithList({c.definition}, kFilterActExclude);
        ASSERT_EQ(1, CompileFilterList(&job)) << c.definition.Filter;
        for (const char* n : c.matching)
            EXPECT_EQ(0, IsTargetFile(n, kTargetFile)) << c.definition.Filter << " should match " << n;
        for (const char* n : c.notMatching)
            EXPECT_EQ(1, IsTargetFile(n, kTargetFile)) << c.definition.Filter << " should not match " << n;
        ClearCompiledFilters();
    }
}

TEST_F(FilterMatch, ActionDecidesBetweenLeavingOutAndTakingOnly)
{
    const std::vector<CFilterDef> definitions = {
        Definition(kFilterTypeExtension, ".bak"),
        Definition(kFilterTypeFileName, "Thumbs.db"),
        Definition(kFilterTypeFileName, "~$*"),
    };
    const std::vector<const char*> names = {"a.doc", "a.doc.bak", "Thumbs.db", "~$a.doc", "b.txt"};

    CCompressJob exclude = JobWithList(definitions, kFilterActExclude);
    ASSERT_EQ(1, CompileFilterList(&exclude));
    EXPECT_EQ("a.doc b.txt", Taken(names));

    CCompressJob only = JobWithList(definitions, kFilterActOnly);
    ASSERT_EQ(1, CompileFilterList(&only));
    EXPECT_EQ("a.doc.bak Thumbs.db ~$a.doc", Taken(names));

    // Any action other than 1 leaves out what matches.
    CCompressJob odd = JobWithList(definitions, 5);
    ASSERT_EQ(1, CompileFilterList(&odd));
    EXPECT_EQ("a.doc b.txt", Taken(names));
}

TEST_F(FilterMatch, OtherTypesNeverMatch)
{
    for (int type : {2, 3, 4, -1})
    {
        CCompressJob only = JobWithList({Definition(type, "*")}, kFilterActOnly);
        ASSERT_EQ(1, CompileFilterList(&only));
        EXPECT_EQ(0, IsTargetFile("a.txt", kTargetFile)) << "Type " << type;

        // Not even a broken pattern of such a Type stops the job.
        CCompressJob exclude = JobWithList({Definition(type, "(", false, true), Definition(type, "")},
                                           kFilterActExclude);
        ASSERT_EQ(1, CompileFilterList(&exclude)) << "Type " << type;
        EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile)) << "Type " << type;
    }
}

TEST_F(FilterMatch, SwitchOffOrNoListTakesEverything)
{
    const std::vector<CFilterDef> everything = {Definition(kFilterTypeExtension, ".*")};

    CCompressJob off = JobWithList(everything, kFilterActExclude);
    off.Setting.FilterSw = false;
    EXPECT_EQ(1, CompileFilterList(&off));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));

    // A list that takes nothing leaves its action behind; a following job without a
    // list must still take every file.
    CCompressJob none = JobWithList({}, kFilterActOnly);
    ASSERT_EQ(1, CompileFilterList(&none));
    EXPECT_EQ(0, IsTargetFile("a.txt", kTargetFile));
    CCompressJob noLists;
    noLists.Setting.FilterSw = true;
    EXPECT_EQ(1, CompileFilterList(&noLists));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));

    CCompressJob unselected = JobWithList(everything, kFilterActExclude);
    unselected.FilterListIndex = -1;
    EXPECT_EQ(1, CompileFilterList(&unselected));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));
    unselected.FilterListIndex = 2;
    EXPECT_EQ(1, CompileFilterList(&unselected));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));
}

TEST_F(FilterMatch, ListWithoutDefinitions)
{
    CCompressJob exclude = JobWithList({}, kFilterActExclude);
    ASSERT_EQ(1, CompileFilterList(&exclude));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));

    CCompressJob only = JobWithList({}, kFilterActOnly);
    ASSERT_EQ(1, CompileFilterList(&only));
    EXPECT_EQ(0, IsTargetFile("a.txt", kTargetFile));
    EXPECT_EQ(1, IsTargetFile("folder", kTargetFolder));
}

TEST_F(FilterMatch, CompileReplacesThePreviousJobsSet)
{
    CCompressJob first = JobWithList({Definition(kFilterTypeExtension, ".txt")}, kFilterActExclude);
    ASSERT_EQ(1, CompileFilterList(&first));
    CCompressJob second = JobWithList({Definition(kFilterTypeExtension, ".doc")}, kFilterActExclude);
    ASSERT_EQ(1, CompileFilterList(&second));
    EXPECT_EQ(1, IsTargetFile("a.txt", kTargetFile));
    EXPECT_EQ(0, IsTargetFile("a.doc", kTargetFile));

    EXPECT_EQ(1, ClearCompiledFilters());
    EXPECT_EQ(1, IsTargetFile("a.doc", kTargetFile));
}

TEST_F(FilterMatch, BrokenDefinitionStopsTheJobWithItsListAndPattern)
{
    struct CBroken
    {
        CFilterDef definition;
        const char* message;
    };
    const CBroken kBroken[] = {
        {Definition(kFilterTypeFileName, "(abc", false, true),
         "フィルタリスト「除外リスト」の定義 2「(abc」を使用できません。\n"
         "正規表現として解釈できません。\nフィルタの設定を確認してください。"},
        {Definition(kFilterTypeExtension, "[z-a]", true, true),
         "フィルタリスト「除外リスト」の定義 2「[z-a]」を使用できません。\n"
         "正規表現として解釈できません。\nフィルタの設定を確認してください。"},
        {Definition(kFilterTypeExtension, ""),
         "フィルタリスト「除外リスト」の定義 2「」を使用できません。\n"
         "定義が空です。\nフィルタの設定を確認してください。"},
        {Definition(kFilterTypeFileName, "", false, true),
         "フィルタリスト「除外リスト」の定義 2「」を使用できません。\n"
         "定義が空です。\nフィルタの設定を確認してください。"},
    };
    for (const CBroken& b : kBroken)
    {
        CCompressJob job = JobWithList(
            {Definition(kFilterTypeExtension, ".bak"), b.definition, Definition(kFilterTypeFileName, "x")},
            kFilterActExclude);
        EXPECT_EQ(0, CompileFilterList(&job)) << b.definition.Filter;
        EXPECT_EQ(b.message, GetFilterCompileError());
        // What was compiled before the broken definition is gone too.
        EXPECT_EQ(1, IsTargetFile("a.bak", kTargetFile));
    }

    CCompressJob good = JobWithList({Definition(kFilterTypeExtension, ".bak")}, kFilterActExclude);
    EXPECT_EQ(1, CompileFilterList(&good));
    EXPECT_EQ("", GetFilterCompileError());
    EXPECT_EQ(0, IsTargetFile("a.bak", kTargetFile));
}

TEST_F(FilterMatch, UndecidableMatchLeavesTheFileOutAndSaysSo)
{
    // Nested repetition over a long name makes the library give up.
    const std::string longName(200, 'a');
    for (int actType : {kFilterActExclude, kFilterActOnly})
    {
        CCompressJob job = JobWithList({Definition(kFilterTypeFileName, "(a|aa|a)*(a|aa)*b", false, true)},
                                       actType, "重い");
        ASSERT_EQ(1, CompileFilterList(&job));
        EXPECT_EQ("", GetFilterMatchError());
        EXPECT_EQ(0, IsTargetFile(longName.c_str(), kTargetFile)) << "ActType " << actType;
        EXPECT_EQ("フィルタリスト「重い」の定義 1「(a|aa|a)*(a|aa)*b」でファイル「" + longName +
                      "」を判定できませんでした。",
                  GetFilterMatchError());
        EXPECT_EQ(actType == kFilterActOnly ? 1 : 0, IsTargetFile("aab", kTargetFile));
    }
}
