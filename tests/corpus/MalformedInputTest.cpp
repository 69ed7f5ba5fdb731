// Generated malformed input (a fixed seed, so every run sees the same cases):
// settings files of every layout, legacy files, hand-off files, filter
// patterns and paths at the buffer limits, each ending on a Shift_JIS lead
// byte somewhere. For every case: no crash, a bounded time, and the result the
// reader owes for it (a bounded record, the lines as the rules cut them, a
// filter that compiles or says why).
#include "job/InputList.h"
#include "common/PathUtil.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "settings/AppSetting.h"
#include "settings/CompressJob.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/support/ProfileReference.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <random>
#include <string>
#include <vector>

namespace {

const unsigned kSeed = 20240917;
// Generous for Wine on a loaded machine; a hang or a quadratic blow-up on one
// input takes far longer.
const DWORD kMaxMillisecondsPerCase = 3000;

class CGenerator
{
public:
    explicit CGenerator(unsigned seed) : m_random(seed) {}

    unsigned Below(unsigned n) { return n == 0 ? 0 : m_random() % n; }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    const char* Pick(const std::vector<const char*>& items) { return items[Below(items.size())]; }

    // Bytes without NUL and Ctrl-Z (text-mode reads end there, which the line
    // rules below do not model), rich in Shift_JIS lead bytes.
    std::string Bytes(size_t length)
    {
        std::string text;
        while (text.size() < length)
        {
            unsigned kind = Below(6);
            unsigned char c = kind == 0   ? static_cast<unsigned char>(0x81 + Below(0x1F))
                              : kind == 1 ? static_cast<unsigned char>(0xE0 + Below(0x1D))
                              : kind == 2 ? static_cast<unsigned char>(Below(256))
                                          : static_cast<unsigned char>(0x20 + Below(0x5F));
            if (c == 0 || c == 0x1A)
                c = 'x';
            text += static_cast<char>(c);
        }
        return text;
    }

    std::string Value()
    {
        switch (Below(9))
        {
        case 0: return "";
        case 1: return "2147483647";
        case 2: return "-2147483648";
        case 3: return "99999999999999999999";
        case 4: return Bytes(1023 + Below(3));
        case 5: return Bytes(5000);
        case 6: return "true";
        case 7: return Bytes(Below(20)) + "\x81";
        default: return std::to_string(static_cast<int>(Below(40)) - 5);
        }
    }

private:
    std::mt19937 m_random;
};

bool WithinTime(DWORD start)
{
    return GetTickCount() - start <= kMaxMillisecondsPerCase;
}

std::string SettingsFileText(CGenerator& g)
{
    static const std::vector<const char*> kSections = {"GENERAL", "FILTER", "FILTER_0", "FILTER_1", "FILTER_2",
                                                       "FILTER_999", "ARCHIVE", "7-ZIP", "LHA", "ZIP", "CAB", ""};
    static const std::vector<const char*> kKeys = {
        "Version", "WindowPos", "DefaultArcType", "OverWriteAction", "QuickStart", "CmpEndExit", "OutFolder",
        "FilterSw", "ProfileNum", "FilterNum", "Title", "Comment", "ActType", "Filter0_Type", "Filter0_Filter",
        "Filter1_Regex", "Filter3_Filter", "Filter70000_Filter", "Use", "Mode"};
    if (g.Chance(8))
        return g.Bytes(g.Below(4000));  // binary
    std::string text;
    int lines = 1 + g.Below(60);
    for (int i = 0; i < lines; ++i)
    {
        unsigned kind = g.Below(10);
        if (kind == 0)
            text += std::string("[") + g.Pick(kSections) + (g.Chance(20) ? "" : "]");
        else if (kind == 1)
            text += g.Pick(kKeys);  // a key without value
        else if (kind == 2)
            text += g.Bytes(g.Below(3000));
        else
            text += std::string(g.Pick(kKeys)) + (g.Chance(10) ? " = " : "=") + g.Value();
        text += g.Chance(80) ? "\r\n" : g.Chance(50) ? "\n" : "\r";
    }
    if (g.Chance(30))
        text.resize(g.Below(text.size() + 1));  // truncated anywhere
    if (g.Chance(20))
        text = "[GENERAL]\r\nVersion=100\r\n" + text;
    return text;
}

std::string LegacyFileText(CGenerator& g)
{
    static const std::vector<const char*> kFirstKeys = {
        "WindowPos         = ", "OverWrite         = ", "ArcSFX            = ", "FolderOpen        = ",
        "DefaultFolder     = ", "DefaultFolderSw   = ", "LhaArcState       = ", "ExtFilter         = ",
        "LhaArcMethod      = "};
    static const std::vector<const char*> kSecondKeys = {"WindowPos", "DefaultArchiver", "OverWriteAction",
                                                         "OutDirectorySw", "OutDirectoryOpen", "OutDirectory",
                                                         "StatusDraw", "QuickStart", "ExtFilter"};
    bool first = g.Chance(50);
    std::string text = first ? "[tessik v0.01]\n" : "[tessik v0.02]\n";
    int lines = g.Below(30);
    for (int i = 0; i < lines; ++i)
    {
        if (g.Chance(10))
            text += "[ext]\n";
        else if (first)
            text += std::string(g.Pick(kFirstKeys)) + g.Value() + "\n";
        else
            text += std::string(g.Pick(kSecondKeys)) + (g.Chance(30) ? "" : " = ") + g.Value() + "\n";
    }
    if (g.Chance(30))
        text.resize(15 + g.Below(text.size() - 14));
    return text;
}

// The hand-off lines as the rules cut them: text mode turns CR LF into LF,
// every line is whole whatever its length, and its LF is removed.
std::vector<std::string> ExpectedHandOff(const std::string& bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        text += bytes[i];
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = start;
        while (end < text.size() && text[end] != '\n')
            ++end;
        if (end < text.size())
            ++end;
        std::string line = text.substr(start, end - start);
        start = end;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string HandOffText(CGenerator& g)
{
    switch (g.Below(8))
    {
    case 0: return "";
    case 1: return g.Bytes(g.Below(6000));
    case 2: return std::string(1023, 'a') + "\r\n" + std::string(1024, 'b') + "\r\n" + std::string(5000, 'c');
    case 3: return "C:\\a\r" + g.Bytes(30) + "\rC:\\b\r";
    case 4: return "C:\\a\n" + g.Bytes(1022) + "\n\n" + g.Bytes(1025);
    default:
    {
        std::string text;
        int lines = g.Below(12);
        for (int i = 0; i < lines; ++i)
        {
            static const size_t kLengths[] = {0, 1, 259, 260, 1021, 1022, 1023, 1024, 5000};
            text += "C:\\" + g.Bytes(kLengths[g.Below(9)]);
            text += g.Chance(70) ? "\r\n" : g.Chance(50) ? "\n" : "\r";
        }
        return text;
    }
    }
}

std::string PatternText(CGenerator& g)
{
    static const std::vector<const char*> kPieces = {
        "(", ")", "[", "]", "{", "}", "{2,", "*", "+", "?", "|", "\\", ".", "^", "$", "a", "(a+)+", "(a|aa)*",
        "(?=", "(?<", "\\1", "[^", "\x81", "\x83\x5C", "表", "*.txt", "\\d{1000000}", "(.*){20}", "x"};
    std::string pattern;
    int pieces = g.Below(10);
    for (int i = 0; i < pieces; ++i)
        pattern += g.Pick(kPieces);
    if (g.Chance(15))
        pattern += "\x82";  // lead byte at the end
    return pattern;
}

}  // namespace

class MalformedInput : public SettingsFileTest
{
};

TEST_F(MalformedInput, SettingsFilesOfEveryLayoutLoadBoundedAndSaveReadsBack)
{
    CGenerator g(kSeed);
    CFakeFormats formats;
    for (int i = 0; i < 360; ++i)
    {
        SCOPED_TRACE("settings case " + std::to_string(i));
        std::string text = i % 4 == 3 ? LegacyFileText(g) : SettingsFileText(g);
        PlaceFile(AppDataIni(), text);
        ResetAllSettings();
        DWORD start = GetTickCount();
        LoadSettings();
        const CAppSetting& setting = g_appSetting;
        // Every text fits the 1024-byte buffers; made-up entries stay bounded.
        EXPECT_LE(setting.OutFolder.size(), 1023u);
        ASSERT_LE(setting.FilterLists.size(), 1024u + 1000u);
        size_t definitions = 0;
        for (const CFilterList& list : setting.FilterLists)
        {
            EXPECT_LE(list.Title.size(), 1023u);
            definitions += list.Definitions.size();
            for (const CFilterDef& definition : list.Definitions)
                EXPECT_LE(definition.Filter.size(), 1023u);
        }
        ASSERT_LE(definitions, 65536u + 1000u);
        if (i % 4 == 3)
        {
            // The legacy import always adds its list, with one definition per line after "[ext]".
            ASSERT_FALSE(setting.FilterLists.empty());
            EXPECT_EQ("デフォルト", setting.FilterLists.back().Title);
        }

        // A save of what was read reads back the same lists.
        std::string file;
        EXPECT_TRUE(SaveSettings(&file));
        std::vector<CFilterList> saved = setting.FilterLists;
        ResetAllSettings();
        LoadSettings();
        ASSERT_EQ(saved.size(), g_appSetting.FilterLists.size());
        for (size_t n = 0; n < saved.size(); ++n)
            EXPECT_EQ(saved[n].Definitions.size(), g_appSetting.FilterLists[n].Definitions.size());
        EXPECT_TRUE(WithinTime(start)) << GetTickCount() - start << " ms";
    }
}

// The settings reader keeps the file in memory; on every generated file it
// must read what the profile functions read, name for name and value for value.
TEST_F(MalformedInput, SettingsFilesReadInMemoryAsTheProfileFunctionsReadThem)
{
    CGenerator g(kSeed);
    for (int i = 0; i < 360; ++i)
    {
        SCOPED_TRACE("settings case " + std::to_string(i));
        std::string text = i % 4 == 3 ? LegacyFileText(g) : SettingsFileText(g);
        EXPECT_GT(ExpectReadersAgree(text, {"GENERAL", "FILTER_0", "zip"}, {"Version", "Filter0_Filter", "Mode"}), 1u);
    }
}

TEST_F(MalformedInput, HandOffFilesArriveAsTheLineRulesCutThem)
{
    CGenerator g(kSeed + 1);
    CTestFolder folder;
    for (int i = 0; i < 260; ++i)
    {
        SCOPED_TRACE("hand-off case " + std::to_string(i));
        std::string bytes = HandOffText(g);
        std::string path = folder / "tessik_filelist.tmp";
        WriteFileBytes(path, bytes);
        std::vector<std::wstring> list;
        DWORD start = GetTickCount();
        ASSERT_TRUE(ReadHandOffFile(Widen(path).c_str(), &list));
        EXPECT_EQ(WidenAll(ExpectedHandOff(bytes)), list);
        EXPECT_FALSE(FileExists(path));
        EXPECT_TRUE(WithinTime(start));
    }
}

TEST_F(MalformedInput, FilterPatternsCompileOrSayWhyAndMatchInBoundedTime)
{
    CGenerator g(kSeed + 2);
    CTestFolder folder;
    std::vector<std::string> names = {"a.txt", std::string(300, 'a'), "表\x83\x5C.txt", "README", ".profile",
                                      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", "x.y.z"};
    for (const std::string& name : names)
        folder.WriteFile("in\\" + name, "x");
    for (int i = 0; i < 300; ++i)
    {
        CCompressJob job;
        job.Setting.FilterSw = true;
        CFilterList list;
        list.Title = "L";
        list.ActType = g.Below(2);
        std::string pattern = PatternText(g);
        CFilterDef definition;
        definition.Type = g.Below(3);
        definition.Filter = pattern;
        definition.Regex = g.Chance(60);
        definition.AlphabetBS = g.Chance(30);
        list.Definitions.push_back(definition);
        job.Setting.FilterLists = {list};
        job.FilterListIndex = 0;
        SCOPED_TRACE("pattern case " + std::to_string(i) + ": " + pattern);

        DWORD start = GetTickCount();
        int count = 0;
        int result = CollectFiles(&job, {AnsiToWide(folder / "in")}, [&count](const CWalkFile& file) {
            count += file.verdict == kWalkTaken ? 1 : 0;
            return true;
        });
        switch (result)
        {
        case kFilesFilterUnusable:
            EXPECT_NE(std::string::npos, GetFilterCompileError().find("フィルタリスト「L」の定義 1"));
            EXPECT_EQ(0, count);
            break;
        case kFilesMatchFailed:
            EXPECT_NE(std::string::npos, GetFilterMatchError().find("を判定できませんでした"));
            break;
        case kFilesCollected:
            EXPECT_GT(count, 0);
            break;
        case kFilesNone:
            EXPECT_EQ(0, count);
            break;
        default:
            ADD_FAILURE() << "result " << result;
        }
        EXPECT_TRUE(WithinTime(start)) << GetTickCount() - start << " ms";
    }
}

TEST_F(MalformedInput, PathsAtTheBufferLimitsFitOrFail)
{
    CGenerator g(kSeed + 3);
    static const size_t kLengths[] = {258, 259, 260, 261, 1021, 1022, 1023, 1024, 1025};
    for (int i = 0; i < 180; ++i)
    {
        size_t length = kLengths[i % 9];
        std::string path = "C:\\" + g.Bytes(length - 3);
        if (i % 2 == 0)
            path.back() = '\x81';  // a lead byte without its trail byte
        if (i % 3 == 0)
            path[length / 2] = '\\';
        SCOPED_TRACE("path case " + std::to_string(i) + ", " + std::to_string(length) + " bytes");

        char buffer[kPathBufferSize];
        memset(buffer, 0x7F, sizeof(buffer));
        int parent = GetParentFolder(path.c_str(), buffer, sizeof(buffer));
        if (parent > 0)
        {
            EXPECT_LT(static_cast<size_t>(parent), sizeof(buffer));
            EXPECT_EQ(static_cast<size_t>(parent), strlen(buffer));
            EXPECT_EQ(0, path.compare(0, parent, buffer));
            EXPECT_EQ('\\', path[parent]);
        }
        char small[260];
        int extension = GetExtension(path.c_str(), small, sizeof(small));
        if (extension > 0)
            EXPECT_LT(strlen(small), sizeof(small));
        int replaced = ReplaceExtension(path.c_str(), ".tmp", buffer, sizeof(buffer));
        if (replaced > 0)
            EXPECT_LT(strlen(buffer), sizeof(buffer));

        // The walk skips what it cannot list and says there is nothing to pack.
        CCompressJob job;
        int count = 0;
        EXPECT_EQ(kFilesNone, CollectFiles(&job, {AnsiToWide(path)}, [&count](const CWalkFile& file) {
                      count += file.verdict == kWalkTaken ? 1 : 0;
                      return true;
                  }));
    }
}
