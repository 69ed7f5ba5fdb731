#include "job/PerItemRun.h"

#include "common/ArchiverApi.h"
#include "job/JobRun.h"
#include "job/JobResult.h"
#include "job/LongStep.h"
#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"
#include "common/TextFormat.h"
#include "settings/CompressJob.h"
#include "job/OutputName.h"

#include <windows.h>

#include <string.h>

const char kEachModeMark[] = "::EACH";

namespace {

// Forwards one item's job to the user's dialogs: the password is asked once,
// an overwrite answer for the rest is kept, and the first fact the job reports
// is kept for the final result instead of being shown item by item.
class CItemCallback : public IJobCallback
{
public:
    explicit CItemCallback(IJobCallback& ui) : m_ui(ui) {}

    void StartItem(CItemOutcome* outcome) { m_outcome = outcome; }
    bool Cancelled() const { return m_cancelled; }
    bool OpenFolderAsked() const { return !m_folder.empty(); }
    const std::string& Folder() const { return m_folder; }

    HWND ArchiverOwner() override { return m_ui.ArchiverOwner(); }
    bool AskPassword(CCompressJob* job) override
    {
        if (!m_havePassword)
        {
            if (!m_ui.AskPassword(job))
            {
                m_cancelled = true;
                return false;
            }
            m_password = job->Password;
            m_havePassword = true;
        }
        job->Password = m_password;
        return true;
    }
    EOverwriteAnswer AskOverwrite(CCompressJob* job) override
    {
        if (m_haveRestAnswer)
            return m_restAnswer;
        bool forRest = false;
        EOverwriteAnswer answer = m_ui.AskItemOverwrite(job, &forRest);
        if (answer == EOverwriteAnswer::Cancel)
        {
            m_cancelled = true;
            return EOverwriteAnswer::GiveAnotherName;
        }
        if (forRest)
        {
            m_haveRestAnswer = true;
            m_restAnswer = answer;
        }
        return answer;
    }
    EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) override
    {
        *forRest = false;
        return AskOverwrite(job);
    }
    void Fail(EJobFailure reason, const std::string& detail) override
    {
        CJobNote note;
        note.kind = CJobNote::kFailure;
        note.failure = reason;
        note.detail = detail;
        Note(note);
    }
    void ReportUnnamable(const CUnnamableFiles& files) override
    {
        CJobNote note;
        note.kind = CJobNote::kUnnamable;
        note.unnamable = files;
        Note(note);
    }
    void ReportLeftOut(const std::vector<CLeftOutEntry>& entries) override
    {
        CJobNote note;
        note.kind = CJobNote::kLeftOut;
        note.leftOut = entries;
        Note(note);
    }
    bool ConfirmLeftOut(const std::vector<CLeftOutEntry>& entries) override { return m_ui.ConfirmLeftOut(entries); }
    void ShowResult(const CArchiverReport& report) override
    {
        CJobNote note;
        note.kind = CJobNote::kArchiver;
        note.archiver = report;
        Note(note);
    }
    void ShowItems(const std::vector<CItemOutcome>& outcomes) override {}
    void OpenFolder(const std::string& folder) override { m_folder = folder; }
    void ArchiverReturned(int code) override
    {
        if (code == kArchiverResultUserCancel)
            m_cancelled = true;
    }
    // One progress window for all the items; its Cancel stops the rest too.
    void WaitForStep(HANDLE done, CJobProgress* progress) override
    {
        m_ui.WaitForStep(done, progress);
        if (progress->IsStopped())
            m_cancelled = true;
    }

private:
    void Note(const CJobNote& note)
    {
        if (m_outcome != nullptr && m_outcome->note.kind == CJobNote::kNothing)
            m_outcome->note = note;
    }

    IJobCallback& m_ui;
    CItemOutcome* m_outcome = nullptr;
    bool m_cancelled = false;
    bool m_havePassword = false;
    std::string m_password;
    bool m_haveRestAnswer = false;
    EOverwriteAnswer m_restAnswer = EOverwriteAnswer::GiveAnotherName;
    std::string m_folder;
};

// name, or name with "(2)", "(3)"... before its extension, whichever no
// earlier item of this run has taken.
std::string FreeName(const std::string& name, const std::vector<CItemOutcome>& taken)
{
    auto isTaken = [&taken](const std::string& candidate) {
        for (const CItemOutcome& outcome : taken)
            if (SameFileName(outcome.archive, candidate))
                return true;
        return false;
    };
    if (!isTaken(name))
        return name;
    const char* separator = FindLastSeparator(name.c_str());
    size_t nameStart = separator != nullptr ? separator - name.c_str() + 1 : 0;
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        dot = name.size();
    for (unsigned n = 2;; ++n)
    {
        std::string candidate = name.substr(0, dot) + FormatText("(%u)", n) + name.substr(dot);
        if (!isTaken(candidate))
            return candidate;
    }
}

}  // namespace

int CPerItemRun::Run(IJobCallback& ui, const CCompressJob& first)
{
    m_outcomes.clear();
    std::string shown = first.OutputFile;
    std::string folder;
    if (!SettleOutputName(&shown, &folder))
    {
        ui.Fail(EJobFailure::BadOutputName, std::string());
        return kJobBadOutputName;
    }
    CArc* format = FindFormat(first.FormatId());
    const char* extension = format != nullptr ? format->GetExtension() : "";

    CItemCallback items(ui);
    for (const std::wstring& item : m_items)
    {
        m_outcomes.emplace_back();
        CItemOutcome& outcome = m_outcomes.back();
        outcome.item = ToAnsiReplacing(item, '?');
        if (items.Cancelled())
        {
            outcome.end = EItemEnd::NotRun;
            continue;
        }
        char name[kPathBufferSize];
        if (!ProposeOutputName(item, folder.c_str(), extension, name, sizeof(name)))
        {
            outcome.end = EItemEnd::NoName;
            continue;
        }
        std::vector<CItemOutcome> earlier(m_outcomes.begin(), m_outcomes.end() - 1);
        outcome.archive = FreeName(name, earlier);
        outcome.renamed = outcome.archive != name;

        CCompressJob job = first;
        job.OutputFile = outcome.archive;
        job.OutputExists = false;
        job.Password.clear();
        items.StartItem(&outcome);
        int result = RunJob(&job, std::vector<std::wstring>{item}, items);
        outcome.made = result == kJobSucceeded;
        if (outcome.made)
            outcome.end = EItemEnd::Made;
        else if (outcome.note.kind != CJobNote::kNothing)
            outcome.end = EItemEnd::Failed;
        else
            outcome.end = result == kJobGiveAnotherName && !items.Cancelled() ? EItemEnd::Skipped : EItemEnd::NotRun;
    }

    if (!AllMade() || first.Setting.AllwaysResult)
        ui.ShowItems(m_outcomes);
    if (items.OpenFolderAsked())
        ui.OpenFolder(items.Folder());
    return AllMade() ? kJobSucceeded : kJobArchiverFailed;
}

bool CPerItemRun::AllMade() const
{
    if (m_outcomes.size() != m_items.size())
        return false;
    for (const CItemOutcome& outcome : m_outcomes)
        if (!outcome.made)
            return false;
    return true;
}
