#include "settings/IniFile.h"

#include "archivers/formatsettings/CabSettings.h"
#include "archivers/formatsettings/SevenZipSettings.h"
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
        // Only a "[" in the first column ends a section for the rewrites.
        {"A", nullptr, "[A]\na=1\n  [B]\nb=1\n[C\nc=1\n", "[C\nc=1\n", 1},
        {"A", "b", "[A]\na=1\n  [B]\nb=1\n[C]\nb=2\n", "[A]\na=1\n  [B]\n[C]\nb=2\n", 1},
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

// Held writes give the bytes that writing key by key through the profile
// functions gives, over files as the program writes them and as hands edit
// them, with removals and reads between the writes.
TEST(CIniFile, HeldWritesGiveTheBytesOfProfileWrites)
{
    const char* const startFiles[] = {
        nullptr,  // no file yet
        "[GENERAL]\r\nVersion=100\r\nQuickStart=false\r\n[ARCHIVE]\r\nStatusDialog=true\r\n[7-ZIP]\r\nUse=true\r\n",
        "; hand-made\r\n\r\n[general]\r\nversion = 99 \r\n\r\n[GENERAL]\r\nQuickStart=true\r\n[CAB]\r\nCabMode=1",
        "[GENERAL]\nOutFolder=C:\\\\old \nCmpEndExit=true\n\x1A[LHA]\nUse=false\n",
        // Headers with blanks, a trail byte "]" and no "]" at all; a trail
        // byte that is a capital letter ("ヂ" is not "ア").
        "[ GENERAL ]\r\nVersion=100\r\n  [7-ZIP]\r\nUse=true\r\n\x83\x61=2\r\n\t[archive]\x81]\r\n"
        "StatusDialog=true\r\n[CAB\r\n",
        // Texts the profile functions read otherwise than their lines show.
        "\xEF\xBB\xBF[GENERAL]\r\nVersion=100\r\n[7-ZIP]\r\nUse=true\r\n[ARCHIVE]\r\nStatusDialog=true\r\n",
        "[GENERAL]\rVersion=100\r[7-ZIP]\rUse=true\r[archive]\rstatusdialog=true\r",
    };
    struct CStep
    {
        const char* section;
        const char* key;    // nullptr: the section is removed
        const char* value;  // nullptr: the key is removed; "?" reads the key back
    };
    const std::vector<std::vector<CStep>> scripts = {
        {{"GENERAL", "Version", "100"}, {"GENERAL", "QuickStart", "true"}, {"ARCHIVE", "StatusDialog", "false"}},
        // Unchanged values, values with blanks, a section new to the file, letter case.
        {{"general", "VERSION", "100"}, {"GENERAL", "OutFolder", "  C:\\out  "}, {"7-ZIP", "SevenZipMode", "2"},
         {"7-ZIP", "SevenZSfx", "7z.sfx"}, {"GENERAL", "PreviewFolder", "表\\示 "}, {"CAB", "Use", "true"},
         {"7-ZIP", "\x83\x41", "2"}},
        // A removal and a read between the writes.
        {{"GENERAL", "QuickStart", "false"}, {"GENERAL", "QuickStart", "?"}, {"7-ZIP", nullptr, nullptr},
         {"GENERAL", "CmpEndExit", nullptr}, {"ZIP", "ZipMode", "0"}, {"ZIP", "ZipMode", "?"}},
        // Values the program's own file holds already: nothing to write.
        {{"GENERAL", "Version", "100"}, {"7-ZIP", "Use", "true"}, {"archive", "statusdialog", "true"}},
    };
    for (size_t f = 0; f < sizeof(startFiles) / sizeof(startFiles[0]); ++f)
    {
        for (size_t s = 0; s < scripts.size(); ++s)
        {
            SCOPED_TRACE("start file " + std::to_string(f) + ", script " + std::to_string(s));
            CTestFolder folder;
            std::string direct = folder / "direct.ini";
            std::string held = folder / "held.ini";
            if (startFiles[f] != nullptr)
            {
                WriteFileBytes(direct, startFiles[f]);
                WriteFileBytes(held, startFiles[f]);
            }
            CIniFile directIni, heldIni;
            directIni.Open(direct.c_str(), false, false);
            heldIni.Open(held.c_str(), false, false);
            heldIni.HoldWrites();
            for (const CStep& step : scripts[s])
            {
                if (step.value != nullptr && std::string(step.value) == "?")
                {
                    char directValue[64] = "", heldValue[64] = "";
                    directIni.GetString(step.section, step.key, "-", directValue, sizeof(directValue));
                    heldIni.GetString(step.section, step.key, "-", heldValue, sizeof(heldValue));
                    EXPECT_STREQ(directValue, heldValue) << step.key;
                    continue;
                }
                EXPECT_EQ(directIni.WriteString(step.section, step.key, step.value),
                          heldIni.WriteString(step.section, step.key, step.value));
            }
            bool changed = false;
            EXPECT_TRUE(heldIni.CommitWrites(&changed));
            EXPECT_FALSE(heldIni.IsHoldingWrites());
            CIniFile::FlushProfileCache(direct.c_str());
            EXPECT_EQ(ReadFileBytes(direct), ReadFileBytes(held));
            EXPECT_EQ(startFiles[f] == nullptr || ReadFileBytes(direct) != startFiles[f], changed);
        }
    }
}

TEST(CIniFile, HeldWritesThatCannotBeCommittedLeaveTheFileAsItWas)
{
    CTestFolder folder;
    std::string path = folder / "settings.ini";
    const std::string before = "[GENERAL]\r\nVersion=100\r\n";
    WriteFileBytes(path, before);
    CIniFile ini;
    ini.Open(path.c_str(), false, false);
    ini.HoldWrites();
    EXPECT_TRUE(ini.WriteString("GENERAL", "QuickStart", "true"));
    // Another program holds the file open without letting it be replaced.
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(ini.CommitWrites());
    CloseHandle(held);
    EXPECT_EQ(before, ReadFileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"settings.ini"}, FilesIn(folder.Path()));
}

// The settings save hands its held file to the format builders: their
// sections reach the file with the save's one rewrite, in the bytes that
// writing key by key through the profile functions gives.
TEST(CIniFile, FormatSectionsGoIntoTheHeldWrites)
{
    CTestFolder folder;
    std::string direct = folder / "direct.ini";
    std::string held = folder / "held.ini";
    const std::string before = "[GENERAL]\r\nVersion=100\r\n[7-ZIP]\r\nUse=false\r\n";
    WriteFileBytes(direct, before);
    WriteFileBytes(held, before);
    CIniFile directIni;
    directIni.Open(direct.c_str(), false, false);
    directIni.WriteString("GENERAL", "QuickStart", "true");
    WriteSevenZipSettings(directIni);
    WriteCabSettings(directIni);
    CIniFile::FlushProfileCache(direct.c_str());

    CIniFile holder;
    holder.Open(held.c_str(), false, false);
    holder.HoldWrites();
    EXPECT_TRUE(holder.WriteString("GENERAL", "QuickStart", "true"));
    for (int (*write)(CIniFile&) : {WriteSevenZipSettings, WriteCabSettings})
    {
        EXPECT_EQ(1, write(holder));
        EXPECT_TRUE(holder.IsHoldingWrites());
        EXPECT_EQ(before, ReadFileBytes(held)) << "written before the holder commits";
    }

    EXPECT_TRUE(holder.CommitWrites());
    EXPECT_EQ(ReadFileBytes(direct), ReadFileBytes(held));
}
