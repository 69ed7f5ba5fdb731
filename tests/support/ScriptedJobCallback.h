#pragma once

#include "job/JobCallback.h"
#include "job/LongStep.h"
#include "settings/CompressJob.h"

#include <string>
#include <vector>

// The enumerator's own name, for events a test compares as text.
inline const char* JobFailureName(EJobFailure reason)
{
#define TESSIK_FAILURE_NAME(name) \
    case EJobFailure::name:       \
        return #name;
    switch (reason)
    {
        TESSIK_FAILURE_NAME(BadOutputName)
        TESSIK_FAILURE_NAME(OutputIsFolder)
        TESSIK_FAILURE_NAME(AppendUnsupported)
        TESSIK_FAILURE_NAME(OutputExists)
        TESSIK_FAILURE_NAME(OutputFolderNotCreated)
        TESSIK_FAILURE_NAME(OutputFolderIsFile)
        TESSIK_FAILURE_NAME(OldArchiveLocked)
        TESSIK_FAILURE_NAME(OldArchiveKept)
        TESSIK_FAILURE_NAME(OldArchiveNotDeleted)
        TESSIK_FAILURE_NAME(ListFileFailed)
        TESSIK_FAILURE_NAME(NoFiles)
        TESSIK_FAILURE_NAME(FilterUnusable)
        TESSIK_FAILURE_NAME(FilterMatchFailed)
        TESSIK_FAILURE_NAME(PasswordNotAscii)
        TESSIK_FAILURE_NAME(UnicodeModeRefused)
        TESSIK_FAILURE_NAME(FormatUnavailable)
        TESSIK_FAILURE_NAME(OldArchiveNotCopied)
    }
#undef TESSIK_FAILURE_NAME
    return "?";
}

// Answers a job's questions from a script and records what the job reported,
// as facts, so a job runs with no window at all.
class CScriptedJobCallback : public IJobCallback
{
public:
    // Answers, used in order; a question beyond the script cancels (no
    // password, another name, "No").
    std::vector<std::string> passwords;
    std::vector<EOverwriteAnswer> overwriteAnswers;
    std::vector<bool> yesNoAnswers;
    // For the question of one of several items: whether each answer holds for the rest.
    std::vector<bool> forRestAnswers;
    int archiverCode = -1;  // the last code the archiver returned

    // What the job did, in order: "password", "overwrite",
    // "fail: <EJobFailure>[: <detail>]", "unnamable: <format>",
    // "leftout: <count>" (reported), "confirm: <count>" (asked),
    // "result: <code>[, not made][, not verified]", "items: <count>", "open: <folder>".
    std::vector<std::string> events;
    // The names of every unnamable report and the entries of every left-out
    // one, as they were.
    std::vector<std::wstring> unnamableNames;
    CUnnamableFiles unnamable;  // the last refusal as it was reported
    std::vector<CLeftOutEntry> leftOut;
    CReadBack readBack;  // what the last result said of reading the archive back

    HWND ArchiverOwner() override { return NULL; }
    bool AskPassword(CCompressJob* job) override
    {
        events.push_back("password");
        if (m_password >= passwords.size())
            return false;
        job->Password = passwords[m_password++];
        return true;
    }
    EOverwriteAnswer AskOverwrite(CCompressJob*) override
    {
        events.push_back("overwrite");
        if (m_overwrite >= overwriteAnswers.size())
            return EOverwriteAnswer::GiveAnotherName;
        return overwriteAnswers[m_overwrite++];
    }
    EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) override
    {
        *forRest = m_forRest < forRestAnswers.size() && forRestAnswers[m_forRest++];
        return AskOverwrite(job);
    }
    void Fail(EJobFailure reason, const std::string& detail) override
    {
        events.push_back(std::string("fail: ") + JobFailureName(reason) + (detail.empty() ? "" : ": " + detail));
    }
    void ReportUnnamable(const CUnnamableFiles& files) override
    {
        events.push_back("unnamable: " + files.format);
        unnamableNames.insert(unnamableNames.end(), files.names.begin(), files.names.end());
        unnamable = files;
    }
    void ReportLeftOut(const std::vector<CLeftOutEntry>& entries) override
    {
        events.push_back("leftout: " + std::to_string(entries.size()));
        leftOut.insert(leftOut.end(), entries.begin(), entries.end());
    }
    bool ConfirmLeftOut(const std::vector<CLeftOutEntry>& entries) override
    {
        events.push_back("confirm: " + std::to_string(entries.size()));
        leftOut.insert(leftOut.end(), entries.begin(), entries.end());
        return m_yesNo < yesNoAnswers.size() && yesNoAnswers[m_yesNo++];
    }
    void ShowResult(const CArchiverReport& report) override
    {
        events.push_back("result: " + std::to_string(report.code) + (report.notMade ? ", not made" : "") +
                         (report.readBack.failed ? ", not verified" : ""));
        readBack = report.readBack;
    }
    void ShowItems(const std::vector<CItemOutcome>& outcomes) override
    {
        events.push_back("items: " + std::to_string(outcomes.size()));
    }
    void OpenFolder(const std::string& folder) override { events.push_back("open: " + folder); }
    void ArchiverReturned(int code) override { archiverCode = code; }
    // The user's Cancel as the long step of this index begins (0 the walk
    // with the list files, then reading the old archive when adding, then
    // the read back); -1 for none.
    int stopInStep = -1;
    int steps = 0;  // the long steps waited for
    void WaitForStep(HANDLE done, CJobProgress* progress) override
    {
        if (steps++ == stopInStep)
            progress->Stop();
        WaitForSingleObject(done, INFINITE);
    }

private:
    size_t m_yesNo = 0;
    size_t m_forRest = 0;
    size_t m_password = 0;
    size_t m_overwrite = 0;
};
