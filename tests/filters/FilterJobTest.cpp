// Whole compression jobs with a filter list: what reaches the 7-Zip32 stand-in's
// list file, and how a job with an unusable list ends.
#include "tests/support/DialogJob.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "archivers/formats/FormatRegistry.h"
#include "archivers/formatsettings/SevenZipSettings.h"
#include "settings/CompressJob.h"
#include "tests/filters/FilterDefinition.h"
#include "tests/support/StandInJournal.h"
#include "tests/support/FilterJob.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UiHelper.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

const int kSevenZipFormat = 0;
const char kErrorTitle[] = "エラー  - Tessik";

// The 7-Zip32 stand-in as the only archiver, a tree of files to pack in a fresh
// folder, and the input list pointing at its "docs" folder.
class FilterJob : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallStandIns(m_dlls.Path(), {"7-Zip32.dll"});
        WriteStandInScript(m_dlls.Path(), "7-Zip32.dll", "result=0\ncreate=archive\n");
        SetDllDirectoryA(m_dlls.Path().c_str());
        g_sevenZipSettings = CSevenZipSettings();
        ASSERT_LE(1, RegisterAllFormats());

        for (const char* name : {"docs\\a.txt", "docs\\B.TXT", "docs\\old.BAK", "docs\\~$報告.docx",
                                 "docs\\表\\報告.docx", "docs\\deep\\x\\Thumbs.db", "docs\\deep\\x\\c.txt",
                                 "docs\\deep\\x\\README", "docs\\deep\\x\\backup.bak"})
            m_data.WriteFile(name, "x");
        m_data.MakeFolder("docs\\empty");
        g_testInputs = {m_data / "docs"};
        m_output = m_data / "out\\result.7z";
    }

    void TearDown() override
    {
        DestroyAllFormats();
        SetDllDirectoryA(NULL);
        g_testInputs.clear();
    }

    CCompressJob Job(const std::vector<CFilterDef>& definitions, int actType) const
    {
        return MakeFilterJob(kSevenZipFormat, m_output, definitions, actType);
    }

    std::vector<CStandInCall> ArchiverCalls() const
    {
        return CallsOf(ReadStandInJournal(m_dlls.Path(), "7-Zip32.dll"), "SevenZip");
    }

    // The lines of the one list file of the one archiver call, sorted (the walk
    // follows the file system's order); each line must end in CR LF.
    std::vector<std::string> ListedFiles() const
    {
        std::vector<std::string> lines;
        std::vector<CStandInCall> calls = ArchiverCalls();
        EXPECT_EQ(1u, calls.size());
        if (calls.size() != 1)
            return lines;
        EXPECT_EQ(1u, calls[0].lists.size());
        if (calls[0].lists.size() != 1)
            return lines;
        const std::string& bytes = calls[0].lists[0].bytes;
        size_t start = 0;
        while (start < bytes.size())
        {
            size_t end = bytes.find("\r\n", start);
            EXPECT_NE(std::string::npos, end) << "unterminated line in " << bytes;
            if (end == std::string::npos)
                break;
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    CTestFolder m_dlls;
    CTestFolder m_data;
    std::string m_output;
};

}  // namespace

TEST_F(FilterJob, LeaveOutListJudgesDeepFilesByTheirNameAlone)
{
    CCompressJob job = Job({Definition(kFilterTypeExtension, ".bak"),
                            Definition(kFilterTypeFileName, "Thumbs.db"),
                            Definition(kFilterTypeFileName, "~$*")},
                           kFilterActExclude);
    EXPECT_EQ(kJobSucceeded, RunDialogJob(NULL, &job));
    const std::vector<std::string> expected = {
        "\"docs\\B.TXT\"", "\"docs\\a.txt\"", "\"docs\\deep\\x\\README\"", "\"docs\\deep\\x\\c.txt\"",
        "\"docs\\表\\報告.docx\"",
    };
    EXPECT_EQ(expected, ListedFiles());
}

TEST_F(FilterJob, PackOnlyListsByCaseSensitiveWildcardAndRegularExpression)
{
    struct CCase
    {
        std::vector<CFilterDef> definitions;
        std::vector<std::string> expected;
    };
    const CCase kCases[] = {
        {{Definition(kFilterTypeExtension, ".TXT", true)}, {"\"docs\\B.TXT\""}},
        {{Definition(kFilterTypeExtension, ".TXT")}, {"\"docs\\B.TXT\"", "\"docs\\a.txt\"", "\"docs\\deep\\x\\c.txt\""}},
        {{Definition(kFilterTypeFileName, "報告\\.docx|[a-c]\\..*", false, true)},
         {"\"docs\\a.txt\"", "\"docs\\deep\\x\\c.txt\"", "\"docs\\表\\報告.docx\""}},
        {{Definition(kFilterTypeExtension, "\\.(bak|BAK)", true, true), Definition(kFilterTypeExtension, ".")},
         {"\"docs\\deep\\x\\README\"", "\"docs\\deep\\x\\backup.bak\"", "\"docs\\old.BAK\""}},
    };
    for (const CCase& c : kCases)
    {
        ResetStandInJournal(m_dlls.Path(), "7-Zip32.dll");
        DeleteFileA(m_output.c_str());
        CCompressJob job = Job(c.definitions, kFilterActOnly);
        EXPECT_EQ(kJobSucceeded, RunDialogJob(NULL, &job)) << c.definitions[0].Filter;
        EXPECT_EQ(c.expected, ListedFiles()) << c.definitions[0].Filter;
    }
}

TEST_F(FilterJob, BrokenDefinitionEndsTheJobBeforeTheArchiverRuns)
{
    CCompressJob job = Job({Definition(kFilterTypeExtension, ".bak"),
                            Definition(kFilterTypeFileName, "(報告", false, true)},
                           kFilterActExclude);
    CWindowResponder responder(kErrorTitle, IDOK);
    EXPECT_EQ(kJobFilterUnusable, RunDialogJob(NULL, &job));
    const CWindowSnapshot& box = responder.Result();
    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ("フィルタリスト「テスト用」の定義 2「(報告」を使用できません。\n"
              "正規表現として解釈できません。\nフィルタの設定を確認してください。",
              box.MessageText());
    EXPECT_TRUE(ArchiverCalls().empty());
    EXPECT_FALSE(FileExists(m_output));
}

TEST_F(FilterJob, PackOnlyListWithoutDefinitionsFindsNothingToPack)
{
    CCompressJob job = Job({}, kFilterActOnly);
    CWindowResponder responder(kErrorTitle, IDOK);
    EXPECT_EQ(kJobNoFiles, RunDialogJob(NULL, &job));
    EXPECT_EQ("圧縮するファイルがありません", responder.Result().MessageText());
    EXPECT_TRUE(ArchiverCalls().empty());
}
