// (g) Reading the new archive back: the job through the bridges (the host's
// 7zz behind 7-Zip32.dll) on the 50,000-file tree with the read back on,
// against the same job with it off; the listing of a 100,000-entry archive
// against a 50,000-entry one; and the copy an adding job makes of the old
// archive, against the job's run. Medians of kRounds runs each.
//
//   bench_readback <folder>    the trees are made there once and reused

#include "archivers/formats/FormatRegistry.h"
#include "job/JobResult.h"
#include "job/JobRun.h"
#include "settings/CompressJob.h"
#include "tests/bench/BenchCommon.h"
#include "tests/support/BridgeFolder.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/TestFolder.h"
#include "tests/support/UnicodeTree.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

// Five runs each, on and off in turn: single jobs move a lot on two shared cores.
const int kRounds = kBenchRuns;

CCompressJob MakeJob(const std::string& output, bool verify)
{
    CCompressJob job;
    job.Setting.DefaultArcType = 0;  // 7z
    job.Setting.OverWriteAction = kOverwriteAlways;
    job.Setting.StatusDialog = false;
    job.Setting.VerifyArchive = verify;
    job.OutputFile = output;
    return job;
}

// One job's seconds, or a negative number when it failed.
double TimeJob(const std::string& tree, const std::string& output, bool verify)
{
    CCompressJob job = MakeJob(output, verify);
    CScriptedJobCallback callback;
    LONGLONG start = BenchNow();
    int result = RunJob(&job, {Widen(tree)}, callback);
    double seconds = BenchSecondsSince(start);
    if (result != kJobSucceeded)
    {
        fprintf(stderr, "job on %s failed: %d\n", tree.c_str(), result);
        for (const std::string& event : callback.events)
            fprintf(stderr, "  %s\n", event.c_str());
        return -1;
    }
    return seconds;
}

// The builder reads an archive back for a job of its own, as after a run.
class CBuilderJob
{
public:
    CBuilderJob() : m_job(MakeJob(std::string(), true)), m_arc(FindFormat(0))
    {
        m_arc->BeginList(&m_job);
        m_arc->EndList();
    }
    ~CBuilderJob() { m_arc->Cleanup(); }
    CArc* operator->() const { return m_arc; }

private:
    CCompressJob m_job;
    CArc* m_arc;
};

// The listing alone of an archive the job made, through its format's DLL.
double TimeListing(const std::string& archive, size_t* count)
{
    CBuilderJob arc;
    std::vector<CArchiveFile> files;
    LONGLONG start = BenchNow();
    EArchiveRead read = arc->ReadArchive(archive, &files);
    double seconds = BenchSecondsSince(start);
    *count = read == EArchiveRead::Read ? files.size() : 0;
    return seconds;
}

double TimeTest(const std::string& archive)
{
    CBuilderJob arc;
    LONGLONG start = BenchNow();
    EArchiveTest test = arc->TestArchive(archive);
    double seconds = BenchSecondsSince(start);
    return test == EArchiveTest::Passed ? seconds : -1;
}

double TimeCopy(const std::string& archive)
{
    std::string copy = archive + ".copy";
    LONGLONG start = BenchNow();
    BOOL copied = CopyFileA(archive.c_str(), copy.c_str(), FALSE);
    double seconds = BenchSecondsSince(start);
    DeleteFileA(copy.c_str());
    return copied ? seconds : -1;
}

bool AllGood(const std::vector<double>& samples)
{
    for (double sample : samples)
        if (sample < 0)
            return false;
    return !samples.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_readback <folder>\n");
        return 2;
    }
    std::string root = argv[1];
    std::string tree = EnsureBenchTree(root);
    std::string largeTree = EnsureLargeBenchTree(root);
    CBridgeFolder bridges;
    if (RegisterAllFormats() <= 0 || FindFormat(0) == nullptr)
    {
        fprintf(stderr, "the 7-Zip32 bridge is not there\n");
        return 1;
    }
    std::string output = root + "\\readback.7z";
    std::string largeOutput = root + "\\readback100k.7z";

    std::vector<double> off, on;
    for (int round = 0; round < kRounds; ++round)
    {
        off.push_back(TimeJob(tree, output, false));
        on.push_back(TimeJob(tree, output, true));
    }
    if (!AllGood(off) || !AllGood(on))
        return 1;
    PrintBenchRow("(g) quick-start job through the bridges, 50,000 files, read back on vs off",
                  FormatMedian(on), FormatMedian(off), Median(on) / Median(off), 1.10, true);

    if (TimeJob(largeTree, largeOutput, false) < 0)
        return 1;
    std::vector<double> small, large;
    size_t smallCount = 0, largeCount = 0;
    for (int round = 0; round < kRounds; ++round)
    {
        small.push_back(TimeListing(output, &smallCount));
        large.push_back(TimeListing(largeOutput, &largeCount));
    }
    if (smallCount != static_cast<size_t>(kBenchFileCount) || largeCount != static_cast<size_t>(kLargeBenchFileCount))
    {
        fprintf(stderr, "listed %u and %u entries\n", static_cast<unsigned>(smallCount),
                static_cast<unsigned>(largeCount));
        return 1;
    }
    PrintBenchRow("(g) listing through the DLL, 100,000 vs 50,000 entries", FormatMedian(large), FormatMedian(small),
                  Median(large) / Median(small), 2.2, true);
    std::vector<double> tests;
    for (int round = 0; round < kRounds; ++round)
        tests.push_back(TimeTest(output));
    if (!AllGood(tests))
        return 1;
    printf("part\tread back of 50,000 entries: the listing\t%s\n", FormatMedian(small).c_str());
    printf("part\tread back of 50,000 entries: the DLL's full check\t%s\n", FormatMedian(tests).c_str());

    std::vector<double> copies;
    for (int round = 0; round < kRounds; ++round)
        copies.push_back(TimeCopy(output));
    if (!AllGood(copies))
        return 1;
    PrintBenchRow("(g) adding: the copy of the old 50,000-entry archive vs the job's run", FormatMedian(copies),
                  FormatMedian(off), Median(copies) / Median(off), 0.10, true);
    DeleteFileA(output.c_str());
    DeleteFileA(largeOutput.c_str());
    return 0;
}
