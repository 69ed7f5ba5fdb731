// Whole jobs read back against the stand-ins that lie: each lie caught in
// every format that lists, when replacing and when adding, the old archive
// back byte for byte and nothing temporary left; and no read back at all
// with the setting off.
#include "job/JobResult.h"
#include "job/JobRun.h"
#include "job/PerItemRun.h"
#include "tests/archivers/StandInFormats.h"
#include "tests/support/ScriptedJobCallback.h"
#include "tests/support/UnicodeTree.h"
#include "tests/support/ZipBytes.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

struct CListingFormat
{
    int id;
    const char* dll;
    const char* extension;
    bool adds;
    bool twoCalls = false;  // an archive, then the program made of it
};

const CListingFormat kFormats[] = {
    {0, "7-Zip32.dll", ".7z", false}, {2, "7-Zip32.dll", ".zip", true}, {3, "TessikZip.dll", ".zip", true},
    {4, "Cab32.dll", ".cab", false},
    {6, "Unlha32.dll", ".lzh", true}, {8, "Zip32j.dll", ".zip", true}, {10, "Tessik7z.dll", ".7z", true},
    // The self-extracting programs, which their DLLs open as archives.
    {1, "7-Zip32.dll", ".exe", false}, {5, "Cab32.dll", ".exe", false, true}, {7, "Unlha32.dll", ".exe", false, true},
    {9, "Zip32j.dll", ".exe", false, true},
};

struct CLie
{
    const char* key;
    const char* found;  // the first difference, as Describe gives it
};

const CLie kLies[] = {
    {"missing", "missing"},
    {"size", "size"},
    {"extra", "extra extra.txt"},
    {"damaged", "damaged"},
};

const char* const kReadBackEntries[] = {"OpenArchive", "FindFirst", "FindNext", "GetOriginalSizeEx",
                                        "CloseArchive", "CheckArchive"};

std::string Describe(const CReadBack& readBack)
{
    if (readBack.damaged)
        return "damaged";
    if (readBack.differences.empty())
        return readBack.failed ? "failed" : "";
    const CArchiveDifference& first = readBack.differences[0];
    const char* kinds[] = {"missing", "extra", "size", "doubled"};
    std::string text = kinds[static_cast<int>(first.kind)];
    if (first.kind == EArchiveDifference::Extra)
        text += " " + Narrow(first.name);
    return text;
}

// The stand-in's script for one job of the format, the lie (if any) in the
// call that makes the archive. Call numbers count from the journal's reset.
std::string JobScript(const CListingFormat& format, const std::string& lie)
{
    std::string script = format.twoCalls ? "create.1=archive\ncreate.2=sfx\n" : "create=archive\n";
    if (!lie.empty())
        script += std::string(format.twoCalls ? "lie.1=" : "lie=") + lie + "\n";
    return script;
}

bool HasReadBackCall(const std::vector<CStandInCall>& calls)
{
    for (const CStandInCall& call : calls)
        for (const char* entry : kReadBackEntries)
            if (call.entry.size() > strlen(entry) &&
                call.entry.compare(call.entry.size() - strlen(entry), std::string::npos, entry) == 0)
                return true;
    return false;
}

}  // namespace

class ReadBackJobs : public ::testing::Test
{
protected:
    ReadBackJobs() : standIns(kAllStandInsAndOwnDlls)
    {
        data.WriteFile("in\\a.txt", "a");
        data.WriteFile("in\\b.txt", "bb");
        data.WriteFile("old\\o.txt", "o");
        inputs = {Widen(data / "in")};
        standIns.Register();
    }

    // An honest job makes the archive the lying one is to replace or add to,
    // of other files: what the lie leaves out is not there from before.
    std::string MakeOldArchive(const CListingFormat& format, const std::string& output)
    {
        standIns.Script(format.dll, JobScript(format, ""));
        standIns.ResetJournal(format.dll);
        CScriptedJobCallback callback;
        CCompressJob job = MakeJob(format.id, output);
        EXPECT_EQ(kJobSucceeded, RunJob(&job, {Widen(data / "old")}, callback)) << format.id;
        EXPECT_EQ("", Describe(callback.readBack)) << format.id;
        return ReadFileBytes(output);
    }

    CStandInFormats standIns;
    CTestFolder data;
    std::vector<std::wstring> inputs;
};

TEST_F(ReadBackJobs, EveryLieFailsTheRunAndTheOldArchiveComesBack)
{
    for (const CListingFormat& format : kFormats)
        for (const CLie& lie : kLies)
            for (bool adding : {false, true})
            {
                if (adding && !format.adds)
                    continue;
                std::string what = std::to_string(format.id) + " " + lie.key + (adding ? " adding" : " replacing");
                std::string folder = data.MakeFolder("out-" + std::to_string(format.id) + lie.key +
                                                     (adding ? "-add" : "-replace"));
                std::string output = folder + "\\x" + format.extension;
                std::string old = MakeOldArchive(format, output);

                standIns.Script(format.dll, JobScript(format, lie.key));
                standIns.ResetJournal(format.dll);
                CScriptedJobCallback callback;
                CCompressJob job = MakeJob(format.id, output);
                job.Setting.OverWriteAction = adding ? kOverwriteAppend : kOverwriteAlways;
                EXPECT_EQ(kJobReadBackFailed, RunJob(&job, inputs, callback)) << what;
                EXPECT_EQ(lie.found, Describe(callback.readBack)) << what;
                EXPECT_EQ(std::vector<std::string>{"result: 0, not verified"}, callback.events) << what;
                EXPECT_EQ(old, ReadFileBytes(output)) << what;
                EXPECT_EQ(std::vector<std::string>{"x" + std::string(format.extension)},
                          FolderEntries(folder)) << what;
            }
}

TEST_F(ReadBackJobs, WithTheSettingOffNoReadBackEntryIsCalled)
{
    for (const CListingFormat& format : kFormats)
    {
        std::string output = data / ("off" + std::to_string(format.id) + format.extension);
        standIns.Script(format.dll, JobScript(format, "missing"));
        for (const char* dll : {"7-Zip32.dll", format.dll})
            standIns.ResetJournal(dll);
        CScriptedJobCallback callback;
        CCompressJob job = MakeJob(format.id, output);
        job.Setting.VerifyArchive = false;
        EXPECT_EQ(kJobSucceeded, RunJob(&job, inputs, callback)) << format.id;
        for (const char* dll : {"7-Zip32.dll", format.dll})
            EXPECT_FALSE(HasReadBackCall(ReadStandInJournal(standIns.Folder(), dll))) << format.id << " " << dll;
    }
}

// One archive per item: the item whose archive lies fails, the next is made.
TEST_F(ReadBackJobs, OneArchivePerItemMarksTheLyingItemAndGoesOn)
{
    data.WriteFile("second\\c.txt", "c");
    standIns.Script("7-Zip32.dll", "create=archive\nlie.1=missing\n");
    CScriptedJobCallback callback;
    CPerItemRun run({Widen(data / "in"), Widen(data / "second")});
    CCompressJob first = MakeJob(0, data / "in.7z");  // the dialog shows the first name
    EXPECT_NE(kJobSucceeded, run.Run(callback, first));
    ASSERT_EQ(2u, run.Outcomes().size());
    EXPECT_EQ(EItemEnd::Failed, run.Outcomes()[0].end);
    EXPECT_TRUE(run.Outcomes()[0].note.archiver.readBack.failed);
    EXPECT_FALSE(FileExists(run.Outcomes()[0].archive));
    EXPECT_EQ(EItemEnd::Made, run.Outcomes()[1].end);
}

// A DLL without listing entries: the job goes on as before and says once
// that it could not look.
TEST(ReadBackWithoutListing, TheJobGoesOnAndSaysItCouldNotLook)
{
    CStandInFormats standIns(kSevenZipStandIns, "no-listing");
    standIns.Script("7-Zip32.dll", "create=archive\n");
    standIns.Register();
    CTestFolder data;
    data.WriteFile("in\\a.txt", "a");
    CScriptedJobCallback callback;
    CCompressJob job = MakeJob(0, data / "x.7z");
    job.Setting.AllwaysResult = true;
    EXPECT_EQ(kJobSucceeded, RunJob(&job, {Widen(data / "in")}, callback));
    EXPECT_EQ(std::vector<EReadBackNote>{EReadBackNote::NoListing}, callback.readBack.notes);
    EXPECT_TRUE(FileExists(data / "x.7z"));
}

// Cancel in a long step: as the walk begins, nothing is made; as the read
// back of an add to a ZIP of 100,000 entries begins, after the archiver has
// rewritten it, the old archive comes back byte for byte. Nothing is said
// (the user chose it) and nothing temporary stays.
TEST_F(ReadBackJobs, CancelInALongStepLeavesTheOldArchiveAsItWas)
{
    CZipBytesLayout layout;
    for (int i = 0; i < 100000; ++i)
    {
        CZipBytesEntry entry;
        entry.name = "old/f" + std::to_string(i) + ".txt";
        layout.entries.push_back(entry);
    }
    std::string old = BuildZipBytes(layout);
    for (int step : {0, 2})
    {
        std::string folder = data.MakeFolder("cancel" + std::to_string(step));
        std::string output = folder + "\\x.zip";
        WriteFileBytes(output, old);
        standIns.Script("Zip32j.dll", "create=archive\n");
        standIns.ResetJournal("Zip32j.dll");
        CScriptedJobCallback callback;
        callback.stopInStep = step;
        CCompressJob job = MakeJob(8, output);
        job.Setting.OverWriteAction = kOverwriteAppend;
        EXPECT_EQ(kJobCancelled, RunJob(&job, inputs, callback)) << step;
        EXPECT_EQ(step + 1, callback.steps) << step;
        EXPECT_EQ(std::vector<std::string>(), callback.events) << step;
        EXPECT_EQ(old, ReadFileBytes(output)) << step;
        EXPECT_EQ(std::vector<std::string>{"x.zip"}, FolderEntries(folder)) << step;
        // The archiver ran only when the walk went on.
        EXPECT_EQ(step == 0, CallsOf(ReadStandInJournal(standIns.Folder(), "Zip32j.dll"), "Zip").empty()) << step;
    }
}
