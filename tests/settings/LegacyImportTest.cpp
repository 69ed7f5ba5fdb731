#include "settings/LegacyImport.h"

#include "settings/AppSetting.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

TEST(LegacyImport, FirstLayoutFlagsAndSecondLayoutValuesThatDoNotApply)
{
    ResetAllSettings();
    CFakeFormats formats({0, 6, 7});
    CTestFolder folder;
    const struct
    {
        const char* line;
        int action, format;
    } flags[] = {
        {"OverWrite         = 1", 1, 6}, {"OverWrite         = 2", 2, 6}, {"OverWrite         = 4", 0, 6},
        {"OverWrite         = 8", 3, 6}, {"OverWrite         = 3", 2, 6}, {"ArcSFX            = 7f", 2, 6},
        {"ArcSFX            = 180", 2, 7},
    };
    for (const auto& row : flags)
    {
        SCOPED_TRACE(row.line);
        g_appSetting.OverWriteAction = kOverwriteAppend;
        g_appSetting.DefaultArcType = 6;
        EXPECT_EQ(1, ImportFirstLayout(PlaceIni(folder.Path(), {"[tessik v0.01]", row.line}).c_str()));
        EXPECT_EQ(row.action, g_appSetting.OverWriteAction);
        EXPECT_EQ(row.format, g_appSetting.DefaultArcType);
    }

    ResetAllSettings();
    g_appSetting.WindowTop = 2;
    EXPECT_EQ(2, ImportSecondLayout(PlaceIni(folder.Path(), {"[tessik v0.02]", "DefaultArchiver = ZIP",
                                                             "DefaultArchiver = lha", "WindowPos 9,9", "WindowPos = 7",
                                                             "OverWriteAction = x", "OutDirectorySw 1"})
                                        .c_str()));
    EXPECT_EQ(6, g_appSetting.DefaultArcType);
    EXPECT_EQ(7, g_appSetting.WindowLeft);
    EXPECT_EQ(2, g_appSetting.WindowTop);
    EXPECT_EQ(kOverwriteAsk, g_appSetting.OverWriteAction);
    EXPECT_FALSE(g_appSetting.OutFolderSw);
    // Without "[ext]" an empty list is still added.
    ASSERT_EQ(1u, g_appSetting.FilterLists.size());
    EXPECT_TRUE(g_appSetting.FilterLists[0].Definitions.empty());
    EXPECT_EQ(0, ImportSecondLayout((folder / "missing.ini").c_str()));
    EXPECT_EQ(1u, g_appSetting.FilterLists.size());
}
