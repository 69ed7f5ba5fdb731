// The preview's walk against the job's: over one generated tree and several
// lists, the files the preview shows as going in are the lines of the list
// file the job hands to the 7-Zip32 stand-in, and every other file is a row
// with the definition that left it out.
#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "common/ScopedHandle.h"
#include "common/TextConvert.h"
#include "filters/FileList.h"
#include "filters/FilterPreview.h"
#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/FilterJob.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace
{

const int kSevenZipFormat = 0;
const char kErrorTitle[] = "エラー  - Tessik";
// A name on which the library gives up with kHeavyPattern.
const std::string kHeavyName(200, 'a');
const char kHeavyPattern[] = "(a|aa|a)*(a|aa)*b";

// Every folder of the generated tree holds every name, so that a definition
// is tried at several depths.
const char* const kFolders[] = {"", "sub\\", "sub\\深い\\", "x\\y\\z\\"};
const char* const kNames[] = {"a.txt",     "B.TXT",    "old.BAK", "new.bak",   "~$報告.docx", "報告.docx",
                              "Thumbs.db", "README",   "run.log", "err.LOG",   "x.tmp",       ".profile",
                              "表.Txt",    "data.csv", "c.TXT.gz"};

class FilterPreviewJob : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallStandIns(m_dlls.Path(), {"7-Zip32.dll"});
        WriteStandInScript(m_dlls.Path(), "7-Zip32.dll", "result=0\ncreate=archive\n");
        SetDllDirectoryA(m_dlls.Path().c_str());
        g_sevenZipSettings = CSevenZipSettings();
        ASSERT_LE(1, RegisterAllFormats());

        int size = 1;
        for (const char* folder : kFolders)
        {
            for (const char* name : kNames)
            {
                m_data.WriteFile(std::string("tree\\") + folder + name, std::string(size, 'x'));
                m_fileCount++;
                m_totalSize += size++;
            }
        }
        m_data.WriteFile("single.bak", "1234");
        m_totalSize += 4;
        m_fileCount++;
        g_testInputs = WidenAll({m_data / "tree", m_data / "single.bak"});
        m_output = m_data / "out\\result.7z";
    }

    void TearDown() override
    {
        DestroyAllFormats();
        SetDllDirectoryA(NULL);
        g_testInputs.clear();
    }

    CCompressJob Job(const std::vector<CFilterDef>& definitions, int actType, bool filterSw = true) const
    {
        return MakeFilterJob(kSevenZipFormat, m_output, definitions, actType, filterSw);
    }

    // The lines of the list file of the one archiver call, sorted.
    std::vector<std::string> ListedFiles() const
    {
        std::vector<CStandInCall> calls = CallsOf(ReadStandInJournal(m_dlls.Path(), "7-Zip32.dll"), "SevenZip");
        if (calls.size() != 1 || calls[0].lists.size() != 1)
            return {"no single list file"};
        std::vector<std::string> lines;
        const std::string& bytes = calls[0].lists[0].bytes;
        for (size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(bytes.substr(start, end - start));
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    CTestFolder m_dlls;
    CTestFolder m_data;
    std::string m_output;
    size_t m_fileCount = 0;
    ULONGLONG m_totalSize = 0;
};

std::map<std::string, CPreviewRow> RowsByPath(const CFilterPreview& preview)
{
    std::map<std::string, CPreviewRow> rows;
    for (const CPreviewRow& row : preview.Rows())
        rows[row.path] = row;
    return rows;
}

}  // namespace

TEST_F(FilterPreviewJob, PreviewTakesExactlyWhatTheJobListsAndNamesTheDefinitionOfEachFileLeftOut)
{
    struct CCase
    {
        const char* what;
        std::vector<CFilterDef> definitions;
        int actType;
        bool filterSw;
        // Some rows checked one by one: path, state, deciding definition.
        std::vector<std::tuple<std::string, int, int>> rows;
    };
    const CCase kCases[] = {
        {"five definitions, leave out",
         {Definition(kFilterTypeExtension, ".bak"), Definition(kFilterTypeFileName, "Thumbs.db"),
          Definition(kFilterTypeFileName, "~$*"), Definition(kFilterTypeExtension, "\\.(log|tmp)", true, true),
          Definition(kFilterTypeExtension, ".")},
         kFilterActExclude,
         true,
         {{"tree\\sub\\old.BAK", kPreviewOut, 0}, {"single.bak", kPreviewOut, 0},
          {"tree\\x\\y\\z\\Thumbs.db", kPreviewOut, 1}, {"tree\\sub\\深い\\~$報告.docx", kPreviewOut, 2},
          {"tree\\run.log", kPreviewOut, 3}, {"tree\\err.LOG", kPreviewIn, -1}, {"tree\\README", kPreviewOut, 4},
          {"tree\\.profile", kPreviewIn, -1}, {"tree\\報告.docx", kPreviewIn, -1}}},
        {"pack only, case-sensitive extension and a regular expression",
         {Definition(kFilterTypeExtension, ".TXT", true), Definition(kFilterTypeFileName, "報告\\..*", false, true)},
         kFilterActOnly,
         true,
         {{"tree\\B.TXT", kPreviewIn, 0}, {"tree\\sub\\報告.docx", kPreviewIn, 1}, {"tree\\a.txt", kPreviewOut, -1},
          {"tree\\表.Txt", kPreviewOut, -1}, {"tree\\c.TXT.gz", kPreviewOut, -1}}},
        {"pack only, case-blind file-name wildcard",
         {Definition(kFilterTypeFileName, "*.txt")},
         kFilterActOnly,
         true,
         {{"tree\\表.Txt", kPreviewIn, 0}, {"tree\\x\\y\\z\\B.TXT", kPreviewIn, 0}, {"tree\\c.TXT.gz", kPreviewOut, -1}}},
        {"a definition no name matches",
         {Definition(kFilterTypeFileName, "*.nothing"), Definition(kFilterTypeExtension, "\\.ZZZ", true, true)},
         kFilterActExclude,
         true,
         {{"tree\\a.txt", kPreviewIn, -1}, {"single.bak", kPreviewIn, -1}}},
        {"the dialog's filter switch off",
         {Definition(kFilterTypeExtension, ".txt")},
         kFilterActOnly,
         false,
         {{"tree\\README", kPreviewIn, -1}}},
    };
    for (const CCase& c : kCases)
    {
        SCOPED_TRACE(c.what);
        ResetStandInJournal(m_dlls.Path(), "7-Zip32.dll");
        DeleteFileA(m_output.c_str());
        CCompressJob job = Job(c.definitions, c.actType, c.filterSw);
        ASSERT_EQ(kJobSucceeded, RunDialogJob(NULL, &job));

        CFilterPreview preview;
        CCompressJob previewJob = Job(c.definitions, c.actType, c.filterSw);
        EXPECT_EQ(kFilesCollected, preview.Walk(&previewJob, g_testInputs, nullptr, 1));
        // The 7z builder's line for each file going in.
        std::vector<std::string> in;
        for (const CPreviewRow& row : preview.Rows())
        {
            if (row.state == kPreviewIn)
                in.push_back("\"" + row.path + "\"");
        }
        std::sort(in.begin(), in.end());
        EXPECT_EQ(ListedFiles(), in);

        // Every file is one row: what does not go in is left out, none is lost.
        CPreviewTotals totals = preview.Totals();
        EXPECT_EQ(m_fileCount, preview.Rows().size());
        EXPECT_EQ(m_fileCount, totals.inCount + totals.outCount);
        EXPECT_EQ(0u, totals.errorCount);
        EXPECT_EQ(m_totalSize, totals.inSize + totals.outSize);

        std::map<std::string, CPreviewRow> rows = RowsByPath(preview);
        for (const auto& expected : c.rows)
        {
            const std::string& path = std::get<0>(expected);
            ASSERT_EQ(1u, rows.count(path)) << path;
            EXPECT_EQ(std::get<1>(expected), rows[path].state) << path;
            EXPECT_EQ(std::get<2>(expected), rows[path].definition) << path;
        }
    }
}

TEST_F(FilterPreviewJob, DefinitionTheLibraryGivesUpOnIsAnErrorRowWhereTheJobStops)
{
    m_data.WriteFile("tree\\" + kHeavyName, "x");
    CCompressJob job = Job({Definition(kFilterTypeExtension, ".bak"),
                            Definition(kFilterTypeFileName, kHeavyPattern, false, true)},
                           kFilterActExclude);
    {
        CWindowResponder responder(kErrorTitle, IDOK);
        EXPECT_EQ(kJobFilterUnusable, RunDialogJob(NULL, &job));
        EXPECT_NE(nullptr, responder.Result().hwnd);
    }

    CFilterPreview preview;
    EXPECT_EQ(kFilesMatchFailed, preview.Walk(&job, g_testInputs, nullptr, 1));
    std::map<std::string, CPreviewRow> rows = RowsByPath(preview);
    const CPreviewRow& heavy = rows["tree\\" + kHeavyName];
    EXPECT_EQ(kPreviewError, heavy.state);
    EXPECT_EQ(kProblemUndecided, heavy.problem);
    EXPECT_EQ(1, heavy.definition);
    EXPECT_EQ(1u, preview.Totals().errorCount);
    EXPECT_EQ(kPreviewOut, rows["tree\\old.BAK"].state);
    EXPECT_EQ(kPreviewIn, rows["tree\\a.txt"].state);
}

TEST_F(FilterPreviewJob, NameWithoutAnAnsiFormThatTheListTakesIsAnErrorRow)
{
    std::wstring folder = AnsiToWide(m_data / "tree\\sub");
    for (const wchar_t* name : {L"\xD55C.txt", L"\xD55C.bak"})
        CScopedHandle(CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    CCompressJob job = Job({Definition(kFilterTypeExtension, ".bak")}, kFilterActExclude);
    CFilterPreview preview;
    EXPECT_EQ(kFilesUnnamable, preview.Walk(&job, {Widen(m_data / "tree\\sub")}, nullptr, 1));
    std::map<std::string, CPreviewRow> rows = RowsByPath(preview);
    EXPECT_EQ(kProblemUnnamable, rows[m_data / "tree\\sub\\?.txt"].problem);
    EXPECT_EQ(kPreviewOut, rows["sub\\?.bak"].state);
    EXPECT_EQ(0, rows["sub\\?.bak"].definition);
    EXPECT_EQ(1u, preview.Totals().errorCount);
}
