// The walk from the input entries to the files handed to the sink.
#include "filters/FileList.h"
#include "common/TextConvert.h"
#include "filters/GitIgnore.h"
#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> CHanded;

// A sink that records the files taken, in the ANSI code page, and refuses
// after limit files.
CWalkSink Recorder(CHanded* handed, size_t limit = 1000)
{
    return [handed, limit](const CWalkFile& file) {
        if (file.verdict != kWalkTaken)
            return true;
        if (handed->size() >= limit)
            return false;
        handed->emplace_back(ToAnsiReplacing(file.path, '?'), ToAnsiReplacing(file.baseFolder, '?'));
        return true;
    };
}

// The walk's inputs from names of the ANSI code page.
std::vector<std::wstring> Inputs(std::initializer_list<std::string> names)
{
    std::vector<std::wstring> inputs;
    for (const std::string& name : names)
        inputs.push_back(AnsiToWide(name));
    return inputs;
}

CHanded Sorted(CHanded handed)
{
    std::sort(handed.begin(), handed.end());
    return handed;
}

}  // namespace

TEST(FileList, EveryFileIsHandedWithTheBaseFolderOfItsInputEntry)
{
    CTestFolder data;
    data.WriteFile("a\\b\\c.txt", "c");
    std::string hidden = data.WriteFile("a\\d.txt", "d");
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    data.MakeFolder("a\\empty\\deeper");
    std::string single = data.WriteFile("x.txt", "x");
    std::string trail = data.WriteFile("表\\ソ.txt", "s");
    CCompressJob job;
    CHanded handed;
    EXPECT_EQ(kFilesCollected,
              CollectFiles(&job, Inputs({data / "a", single, data / "missing", single, "", trail}), Recorder(&handed)));
    SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::string base = data.Path();
    EXPECT_EQ(Sorted({{data / "a\\b\\c.txt", base}, {hidden, base}, {single, base}, {single, base},
                      {trail, data / "表"}}),
              Sorted(handed));

    const struct
    {
        const char* folder;
        int count;
    } folders[] = {{"a", 2}, {"a\\empty", 0}, {"missing", 0}};
    for (const auto& c : folders)
    {
        CHanded some;
        EXPECT_EQ(c.count, AddFolderFiles(Recorder(&some), AnsiToWide(data / c.folder), AnsiToWide(base))) << c.folder;
    }
}

TEST(FileList, FolderIsWalkedDepthFirst)
{
    // One entry per folder level, so the order does not depend on the file system.
    CTestFolder data;
    data.WriteFile("top\\1\\2\\3\\deep.txt", "");
    CCompressJob job;
    CHanded handed;
    EXPECT_EQ(kFilesCollected, CollectFiles(&job, Inputs({data / "top"}), Recorder(&handed)));
    EXPECT_EQ((CHanded{{data / "top\\1\\2\\3\\deep.txt", data.Path()}}), handed);
}

TEST(FileList, RefusedFileStopsTheWalkAndNothingToPackIsSaid)
{
    CTestFolder data;
    for (const char* name : {"f\\1.txt", "f\\2.txt", "f\\3.txt"})
        data.WriteFile(name, "");
    data.MakeFolder("only\\empty");
    CCompressJob job;
    CHanded handed;
    EXPECT_EQ(kFilesSinkRefused, CollectFiles(&job, Inputs({data / "f", data / "f"}), Recorder(&handed, 1)));
    EXPECT_EQ(1u, handed.size());
    EXPECT_EQ(kFilesNone, CollectFiles(&job, Inputs({data / "only", data / "missing"}), Recorder(&handed)));
}

TEST(FileList, WhatCannotBeTakenIsReportedWithItsReasonAndDeepTreesAreWalked)
{
    CTestFolder data;
    std::string kept = data.WriteFile("ok\\a.txt", "a");
    data.WriteFile("held\\inner\\b.txt", "b");
    std::string outerKept = data.WriteFile("outer\\c.txt", "c");
    data.WriteFile("outer\\locked\\d.txt", "d");
    std::string deep = WriteDeepFile(data / "deep", 300, "deep");
    std::string tooLong = WriteDeepFile(data / "long", 1100, "long");
    // Where the walk's path buffer (1024 bytes with the terminator) runs out.
    size_t cut = tooLong.find('\\', 1023);
    std::string firstTooLong = tooLong.substr(0, cut);

    CHeldFolder held(data / "held");
    CHeldFolder locked(data / "outer\\locked");
    ASSERT_TRUE(held.IsHeld() && locked.IsHeld());
    CCompressJob job;
    CHanded handed;
    CWalkReport report;
    EXPECT_EQ(kFilesCollected, CollectFiles(&job,
                                            Inputs({data / "ok", data / "held", data / "outer", data / "missing.txt",
                                                    "", "relative.txt", data / "deep", data / "long"}),
                                            Recorder(&handed), &report));

    const std::string base = data.Path();
    EXPECT_EQ(Sorted({{kept, base}, {outerKept, base}, {deep, base}}), Sorted(handed));
    std::vector<std::pair<std::string, int>> expected = {
        {data / "held", kProblemUnlistable},   {data / "outer\\locked", kProblemUnlistable},
        {data / "missing.txt", kProblemMissing}, {"relative.txt", kProblemMissing},
        {firstTooLong, kProblemTooLong},
    };
    std::vector<std::pair<std::string, int>> reported;
    for (const CLeftOutEntry& entry : report.leftOut)
    {
        char path[4096] = "";
        WideCharToMultiByte(CP_ACP, 0, entry.path.c_str(), -1, path, sizeof(path), NULL, NULL);
        reported.emplace_back(path, entry.reason);
        if (entry.reason == kProblemUnlistable)
            EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), entry.error) << path;
    }
    EXPECT_EQ(expected, reported);
}

// Names beyond the ANSI code page are judged by their wide form against the
// Shift_JIS definitions, entries and names below them alike, and handed over
// by their real names.
TEST(FileList, FiltersJudgeWideNamesAndTheWalkHandsThemOverAsTheyAre)
{
    CTestFolder data;
    std::wstring root = Widen(data.Path());
    for (const wchar_t* name : {L"tree\\한국어.bak", L"tree\\한국어.txt", L"tree\\Café.txt", L"tree\\Café.docx",
                                L"tree\\表.bak", L"Ελληνικά.txt", L"Ελληνικά.bak"})
        WriteWideFile(root + L"\\" + name, "x");
    const std::vector<std::wstring> inputs = {root + L"\\tree", root + L"\\Ελληνικά.txt", root + L"\\Ελληνικά.bak"};
    const struct
    {
        const char* what;
        int action;
        std::vector<CFilterDef> definitions;
        std::vector<std::wstring> kept;
    } cases[] = {
        {"exclude .bak", kFilterActExclude, {Definition(kFilterTypeExtension, ".bak")},
         {L"tree\\한국어.txt", L"tree\\Café.txt", L"tree\\Café.docx", L"Ελληνικά.txt"}},
        {"only *.txt", kFilterActOnly, {Definition(kFilterTypeFileName, "*.txt")},
         {L"tree\\한국어.txt", L"tree\\Café.txt", L"Ελληνικά.txt"}},
        {"only .docx and 表.*", kFilterActOnly,
         {Definition(kFilterTypeExtension, ".docx"), Definition(kFilterTypeFileName, "表.*")},
         {L"tree\\Café.docx", L"tree\\表.bak"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCompressJob job;
        job.Setting.FilterSw = true;
        CFilterList list;
        list.ActType = c.action;
        list.Definitions = c.definitions;
        job.Setting.FilterLists = {list};
        job.FilterListIndex = 0;
        std::vector<std::pair<std::wstring, std::wstring>> handed;
        EXPECT_EQ(kFilesCollected, CollectFiles(&job, inputs, [&handed](const CWalkFile& file) {
                      if (file.verdict == kWalkTaken)
                          handed.emplace_back(file.path, file.baseFolder);
                      return true;
                  }));
        std::vector<std::pair<std::wstring, std::wstring>> expected;
        for (const std::wstring& name : c.kept)
            expected.emplace_back(root + L"\\" + name, root);
        std::sort(expected.begin(), expected.end());
        std::sort(handed.begin(), handed.end());
        EXPECT_TRUE(expected == handed);
    }
}

// A list that follows the .gitignore files: what a rule leaves out is handed
// over with its rule (a left-out folder once, not entered), and the
// definitions judge the rest.
TEST(FileList, ListFollowingGitIgnoreLeavesOutWhatTheRulesAndTheDefinitionsLeaveOut)
{
    CTestFolder data;
    data.WriteFile("p\\.gitignore", "build/\n*.log\n!keep.log\n");
    for (const char* name : {"p\\a.txt", "p\\x.LOG", "p\\keep.log", "p\\b.bak", "p\\sub\\c.txt", "p\\sub\\d.md",
                             "p\\build\\out.txt", "p\\.git\\HEAD"})
        data.WriteFile(name, "x");
    data.WriteFile("p\\sub\\.gitignore", "*.txt\n");
    // Were build entered, its own rule would take out.txt back, and the
    // folder held without sharing would be reported.
    data.WriteFile("p\\build\\.gitignore", "!out.txt\n");
    CHeldFolder held(data.MakeFolder("p\\build\\held"));
    ASSERT_TRUE(held.IsHeld());

    // A folder with its backslash.
    const std::string kRuled = "build\\:.gitignore:1:build/ x.LOG:.gitignore:2:*.log sub\\c.txt:sub/.gitignore:1:*.txt "
                               ".git\\: keep.log:.gitignore:3:!keep.log ";
    const struct
    {
        const char* what;
        bool filterSw;
        bool gitIgnore;
        int action;
        std::vector<CFilterDef> definitions;
        std::string taken;  // below p, sorted
        std::string ruled;  // entry:rule, in the walk's order sorted
    } cases[] = {
        {"switch off", true, false, kFilterActExclude, {Definition(kFilterTypeExtension, ".bak")},
         ".git\\HEAD .gitignore a.txt build\\.gitignore build\\out.txt keep.log sub\\.gitignore sub\\c.txt sub\\d.md "
         "x.LOG ",
         ""},
        {"filter switch off", false, true, kFilterActExclude, {},
         ".git\\HEAD .gitignore a.txt b.bak build\\.gitignore build\\out.txt keep.log sub\\.gitignore sub\\c.txt "
         "sub\\d.md x.LOG ",
         ""},
        {"exclude .bak", true, true, kFilterActExclude, {Definition(kFilterTypeExtension, ".bak")},
         ".gitignore a.txt keep.log sub\\.gitignore sub\\d.md ", kRuled},
        {"only *.txt and .log", true, true, kFilterActOnly,
         {Definition(kFilterTypeFileName, "*.txt"), Definition(kFilterTypeExtension, ".log")}, "a.txt keep.log ",
         kRuled},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        CCompressJob job;
        job.Setting.FilterSw = c.filterSw;
        CFilterList list;
        list.ActType = c.action;
        list.Definitions = c.definitions;
        list.GitIgnore = c.gitIgnore;
        job.Setting.FilterLists = {list};
        job.FilterListIndex = 0;
        std::vector<std::string> taken, ruled;
        const size_t below = (data / "p\\").size();
        CWalkReport report;
        EXPECT_EQ(kFilesCollected, CollectFiles(&job, Inputs({data / "p"}), [&](const CWalkFile& file) {
                      std::string path = ToAnsiReplacing(file.path, '?').substr(below);
                      if (file.verdict == kWalkTaken)
                          taken.push_back(path + " ");
                      if (file.verdict == kWalkIgnored || file.rule != nullptr)
                          ruled.push_back(path + (file.isFolder ? "\\:" : ":") +
                                          (file.rule ? ToAnsiReplacing(file.rule->Reason(), '?') : "") + " ");
                      return true;
                  }, &report));
        EXPECT_EQ(c.gitIgnore && c.filterSw ? 0u : 1u, report.leftOut.size());
        std::sort(taken.begin(), taken.end());
        std::sort(ruled.begin(), ruled.end());
        std::string expectedRuled = c.ruled;
        std::vector<std::string> parts;
        for (size_t at = 0, end; (end = expectedRuled.find(' ', at)) != std::string::npos; at = end + 1)
            parts.push_back(expectedRuled.substr(at, end - at + 1));
        std::sort(parts.begin(), parts.end());
        EXPECT_EQ(c.taken, std::accumulate(taken.begin(), taken.end(), std::string()));
        EXPECT_EQ(std::accumulate(parts.begin(), parts.end(), std::string()),
                  std::accumulate(ruled.begin(), ruled.end(), std::string()));
    }
}
