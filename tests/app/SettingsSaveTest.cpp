// The settings save at the end of a run as the user meets it: a save that
// cannot write a section keeps the old file and says so.
#include "app/Startup.h"
#include "settings/AppSetting.h"
#include "tests/app/JobFixture.h"
#include "tests/settings/SettingsSandbox.h"

#include <gtest/gtest.h>

class SettingsSave : public SettingsFileTest
{
};

TEST_F(SettingsSave, SectionThatCannotBeWrittenKeepsTheOldFileAndSaysSo)
{
    const std::string current = CrLfLines({"[GENERAL]", "Version=100", "WindowPos=1,1", "[7-ZIP]", "SevenZMode=9"});
    const std::string oldLayout = CrLfLines({"[tessik v0.02]", "WindowPos = 5,6", "[lha]", "Mode=2"});
    const struct
    {
        const char* name;
        const std::string& old;
        int loadedVersion;
        const char* failingSection;
    } rows[] = {
        {"first format section, current layout", current, 100, "7-ZIP"},
        // The old layout is not merged: a section missing from the new file
        // would be lost.
        {"a later format section, old layout", oldLayout, 2, "LHA"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        CFakeFormats formats;
        formats.failingSection = row.failingSection;
        PlaceFile(AppDataIni(), row.old);
        g_loadedLayoutVersion = row.loadedVersion;
        g_appSetting.WindowLeft = 77;

        CDialogScript script({Press(kErrorBox, IDOK)});
        SaveSettingsOrReport();
        const std::vector<CDialogScript::CSeen>& seen = script.Finish();

        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(nullptr, seen[0].owner);
        EXPECT_EQ("設定ファイル「" + AppDataIni() + "」に書き込めませんでした。\n変更した設定は保存されていません。",
                  seen[0].window.MessageText());
        EXPECT_EQ(row.old, ReadFileBytes(AppDataIni()));
        EXPECT_EQ(std::vector<std::string>{"tessik.ini"}, FilesIn(m_appData + "\\Norvane\\Tessik"));
    }
}
