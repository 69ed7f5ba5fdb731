// One archive per item: names, per-item jobs, the overwrite answer for the
// rest, cancels and the one result, through the stand-in archivers.
#include "app/JobWords.h"
#include "job/PerItemRun.h"
#include "job/JobResult.h"
#include "tests/app/JobFixture.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

const char kOld[] = "OLD ARCHIVE";
const char kNew[] = "STANDIN SevenZip\r\n";

}  // namespace

TEST(EachMode, EveryItemIsOneJobAndOneResultListsThemAll)
{
    struct
    {
        const char* what;
        std::string script;            // the 7-Zip32 stand-in's
        std::vector<std::string> old;  // archives there before the run
        std::vector<EOverwriteAnswer> answers;
        std::vector<bool> forRest;
        std::vector<std::string> made;  // archives written by this run, in order
        size_t asked;                   // overwrite questions
        std::vector<std::string> resultLines;  // the result's item lines that start with "×"
    } cases[] = {
        {"a failing item does not stop the others; equal names get a free one",
         "version=431\ncreate=archive\nresult.3=1\ncreate.3=\noutput.3=stand-in failed\n",
         {},
         {},
         {},
         {"a.7z", "b.7z", "report.7z", "report(2).7z"},
         0,
         {"× c.txt:stand-in failed"}},
        {"the overwrite answer for the rest is asked once",
         "version=431\ncreate=archive\n",
         {"a.7z", "b.7z"},
         {EOverwriteAnswer::Overwrite},
         {true},
         {"a.7z", "b.7z", "c.7z", "report.7z", "report(2).7z"},
         1,
         {}},
        {"this item not, the rest asked again", "version=431\ncreate=archive\n", {"a.7z", "b.7z"},
         {EOverwriteAnswer::GiveAnotherName, EOverwriteAnswer::Overwrite}, {false, false},
         {"b.7z", "c.7z", "report.7z", "report(2).7z"}, 2,
         {"× a:既に存在するため、作成しませんでした"}},
        {"cancel in the overwrite question stops the items that remain", "version=431\ncreate=archive\n",
         {"b.7z"}, {EOverwriteAnswer::Cancel}, {false}, {"a.7z"}, 1,
         {"× b:中止したため、作成しませんでした", "× c.txt:中止したため、作成しませんでした",
          "× report:中止したため、作成しませんでした", "× report:中止したため、作成しませんでした"}},
        {"cancel in the progress window stops them too", "version=431\ncreate=archive\nresult.2=32800\ncreate.2=\n",
         {}, {}, {}, {"a.7z"}, 0,
         {"× b:", "× c.txt:中止したため、作成しませんでした", "× report:中止したため、作成しませんでした",
          "× report:中止したため、作成しませんでした"}},
    };
    for (const auto& c : cases)
    {
        CJobFixture f(c.script);
        f.data.WriteFile("a\\1.txt", "1");
        f.data.WriteFile("b\\2.txt", "2");
        f.data.WriteFile("c.txt", "c");
        f.data.WriteFile("x\\report\\3.txt", "3");
        f.data.WriteFile("y\\report\\4.txt", "4");
        std::string out = f.data.MakeFolder("out");
        for (const std::string& name : c.old)
            f.data.WriteFile("out\\" + name, kOld);
        CCompressJob first = MakeJob(0, out + "\\whatever.7z");
        first.Setting.OverWriteAction = kOverwriteAsk;
        CScriptedJobCallback ui;
        ui.overwriteAnswers = c.answers;
        ui.forRestAnswers = c.forRest;
        CPerItemRun run(
            WidenAll({f.data / "a", f.data / "b", f.data / "c.txt", f.data / "x\\report", f.data / "y\\report"}));

        int result = run.Run(ui, first);
        bool all = c.made.size() == 5;
        EXPECT_EQ(all ? kJobSucceeded : kJobArchiverFailed, result) << c.what;
        EXPECT_EQ(all, run.AllMade()) << c.what;

        // Each call packs its own item alone, into the archive named after it.
        std::vector<std::string> made;
        for (const CStandInCall& call : f.SevenZipCalls())
        {
            ASSERT_EQ(1u, call.lists.size()) << c.what;
            for (const CItemOutcome& outcome : run.Outcomes())
                if (outcome.made && call.line.find("\"" + outcome.archive + "\"") != std::string::npos)
                {
                    made.push_back(outcome.archive.substr(out.size() + 1));
                    std::string own = outcome.item.substr(outcome.item.rfind('\\') + 1);
                    EXPECT_EQ(0u, call.lists[0].bytes.find("\"" + own)) << call.lists[0].bytes;
                    EXPECT_EQ(kNew, ReadFileBytes(outcome.archive)) << c.what;
                }
        }
        EXPECT_EQ(c.made, made) << c.what;
        EXPECT_EQ(c.asked, static_cast<size_t>(std::count(ui.events.begin(), ui.events.end(), "overwrite")))
            << c.what;

        // One result, only when something failed, with a line per failed item.
        std::vector<std::string> results;
        for (const std::string& event : ui.events)
            if (event.compare(0, 7, "items: ") == 0)
                results.push_back(ItemsText(run.Outcomes()));
        ASSERT_EQ(all ? 0u : 1u, results.size()) << c.what;
        if (!all)
        {
            std::vector<std::string> failed;
            size_t at = 0;
            while ((at = results[0].find("× ", at)) != std::string::npos)
            {
                size_t end = results[0].find("\r\n    → ", at);
                std::string item = results[0].substr(at + 3, end - at - 3);
                std::string why = results[0].substr(end + 9, results[0].find("\r\n", end + 9) - end - 9);
                failed.push_back("× " + item.substr(item.rfind('\\') + 1) + ":" + why);
                at = end;
            }
            ASSERT_EQ(c.resultLines.size(), failed.size()) << results[0];
            for (size_t i = 0; i < failed.size(); ++i)
                EXPECT_EQ(0u, failed[i].find(c.resultLines[i])) << failed[i];
        }
    }
}

TEST(EachMode, ResultSaysWhichNamesWereChanged)
{
    CItemOutcome first, second;
    first.item = "C:\\a\\report";
    first.archive = "C:\\out\\report.7z";
    first.made = true;
    second.item = "C:\\b\\report";
    second.archive = "C:\\out\\report(2).7z";
    second.made = true;
    second.renamed = true;
    EXPECT_EQ("2 個のうち 2 個の書庫を作成しました。\r\n"
              "○ C:\\a\\report\r\n    → C:\\out\\report.7z\r\n"
              "○ C:\\b\\report\r\n    → C:\\out\\report(2).7z\r\n"
              "    (同じ名前の書庫がほかにあるため、この名前にしました)",
              ItemsText({first, second}));
}
