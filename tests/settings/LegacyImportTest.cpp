#include "settings/LegacyImport.h"

#include "settings/AppSetting.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

class LegacyImportTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetAllSettings(); }
    void TearDown() override { ResetAllSettings(); }

    // Writes the lines (CR LF) and imports them with the given importer.
    int Import(int (*importer)(const char*), const std::vector<std::string>& lines)
    {
        return importer(m_folder.WriteFile("tessik.ini", CrLfLines(lines)).c_str());
    }

    CTestFolder m_folder;
};

std::vector<std::string> Patterns(const CFilterList& list)
{
    std::vector<std::string> patterns;
    for (const CFilterDef& definition : list.Definitions)
    {
        EXPECT_EQ(0, definition.Type);
        EXPECT_EQ("", definition.Comment);
        EXPECT_FALSE(definition.AlphabetBS);
        EXPECT_FALSE(definition.Regex);
        patterns.push_back(definition.Filter);
    }
    return patterns;
}

}  // namespace

TEST_F(LegacyImportTest, FirstLayoutTakesEveryKeyOfItsHeader)
{
    CFakeFormats formats;
    g_appSetting.StatusDialog = true;
    ASSERT_EQ(1, Import(ImportFirstLayout, {
        "[tessik v0.01]",
        "WindowPos         = 120,-34",
        "OverWrite         = 8",
        "ArcSFX            = 80",
        "FolderOpen        = 1",
        "DefaultFolder     = C:\\古い 出力\\表 ",
        "DefaultFolderSw   = 5",
        "LhaArcState       = 0",
        "ExtFilter         = 1",
        "QuickStart        = 1",
        "WindowPos = 1,1",
        "[ext]",
        ".lzh",
        "",
        ".zip",
        "[section-like pattern]",
    }));
    const CAppSetting& s = g_appSetting;
    EXPECT_EQ(120, s.WindowLeft);
    EXPECT_EQ(-34, s.WindowTop);
    EXPECT_EQ(kOverwriteRename, s.OverWriteAction);
    EXPECT_EQ(7, s.DefaultArcType);
    EXPECT_TRUE(s.OutFolderOpen);
    EXPECT_EQ("C:\\古い 出力\\表 ", s.OutFolder);
    EXPECT_TRUE(s.OutFolderSw);
    EXPECT_FALSE(s.StatusDialog);
    EXPECT_TRUE(s.FilterSw);
    EXPECT_FALSE(s.QuickStart);

    ASSERT_EQ(1u, s.FilterLists.size());
    const CFilterList& list = s.FilterLists[0];
    EXPECT_EQ("デフォルト", list.Title);
    EXPECT_EQ("以前のバージョンから引き継いだフィルタリスト", list.Comment);
    EXPECT_EQ(kFilterActExclude, list.ActType);
    EXPECT_EQ((std::vector<std::string>{".lzh", ".zip", "[section-like pattern]"}), Patterns(list));
}

TEST_F(LegacyImportTest, FirstLayoutFlagValues)
{
    const struct
    {
        const char* overWrite;
        int action;
    } actions[] = {{"1", 1}, {"2", 2}, {"4", 0}, {"8", 3}, {"3", 2}, {"x", 2}};
    for (const auto& row : actions)
    {
        SCOPED_TRACE(row.overWrite);
        g_appSetting.OverWriteAction = kOverwriteAppend;
        Import(ImportFirstLayout, {"[tessik v0.01]", std::string("OverWrite         = ") + row.overWrite});
        EXPECT_EQ(row.action, g_appSetting.OverWriteAction);
    }

    {
        CFakeFormats withSfx;
        Import(ImportFirstLayout, {"[tessik v0.01]", "ArcSFX            = 7f"});
        EXPECT_EQ(6, g_appSetting.DefaultArcType);
        Import(ImportFirstLayout, {"[tessik v0.01]", "ArcSFX            = 180"});
        EXPECT_EQ(7, g_appSetting.DefaultArcType);
    }
    g_appSetting.DefaultArcType = 6;
    CFakeFormats withoutSfx({0, 6, 8});
    Import(ImportFirstLayout, {"[tessik v0.01]", "ArcSFX            = 80"});
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
}

TEST_F(LegacyImportTest, SecondLayoutTakesEveryKeyLongerNamesFirst)
{
    CFakeFormats formats;
    ASSERT_EQ(2, Import(ImportSecondLayout, {
        "[tessik v0.02]",
        "WindowPos = 5,6",
        "DefaultArchiver = ZIP rest",
        "OverWriteAction=3",
        "OutDirectory =   D:\\出力 先\\",
        "OutDirectorySw= 1",
        "OutDirectoryOpen =1",
        "StatusDraw = 0",
        "QuickStart = 1",
        "ExtFilter = 2",
        "CmpEndExit = 0",
        "[lha]",
        "OverWriteAction=1",
        "[ext]",
        ".bak",
        ".tmp",
    }));
    const CAppSetting& s = g_appSetting;
    EXPECT_EQ(5, s.WindowLeft);
    EXPECT_EQ(6, s.WindowTop);
    EXPECT_EQ(8, s.DefaultArcType);
    EXPECT_EQ(3, s.OverWriteAction);
    EXPECT_EQ("D:\\出力 先\\", s.OutFolder);
    EXPECT_TRUE(s.OutFolderSw);
    EXPECT_TRUE(s.OutFolderOpen);
    EXPECT_FALSE(s.StatusDialog);
    EXPECT_TRUE(s.QuickStart);
    EXPECT_TRUE(s.FilterSw);
    EXPECT_TRUE(s.CmpEndExit);
    ASSERT_EQ(1u, s.FilterLists.size());
    EXPECT_EQ("デフォルト", s.FilterLists[0].Title);
    EXPECT_EQ((std::vector<std::string>{".bak", ".tmp"}), Patterns(s.FilterLists[0]));
}

TEST_F(LegacyImportTest, SecondLayoutValuesThatDoNotApply)
{
    CFakeFormats formats({0, 6, 7});
    g_appSetting.WindowLeft = 1;
    g_appSetting.WindowTop = 2;
    ASSERT_EQ(2, Import(ImportSecondLayout, {
        "[tessik v0.02]",
        "DefaultArchiver = ZIP",
        "DefaultArchiver = lha",
        "WindowPos 9,9",
        "WindowPos = 7",
        "OverWriteAction = x",
        "OutDirectorySw 1",
    }));
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
    EXPECT_EQ(7, g_appSetting.WindowLeft);
    EXPECT_EQ(2, g_appSetting.WindowTop);
    EXPECT_EQ(kOverwriteAsk, g_appSetting.OverWriteAction);
    EXPECT_FALSE(g_appSetting.OutFolderSw);
    // Without "[ext]" an empty list is still added.
    ASSERT_EQ(1u, g_appSetting.FilterLists.size());
    EXPECT_TRUE(g_appSetting.FilterLists[0].Definitions.empty());

    EXPECT_EQ(0, ImportSecondLayout((m_folder / "missing.ini").c_str()));
    EXPECT_EQ(0, ImportFirstLayout((m_folder / "missing.ini").c_str()));
    EXPECT_EQ(1u, g_appSetting.FilterLists.size());
}
