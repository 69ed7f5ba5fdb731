#include "job/PerItemRun.h"

#include "job/JobRun.h"
#include "job/JobResult.h"
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

const char kHeadFormat[] = "%u 個のうち %u 個の書庫を作成しました。";
const char kMadeFormat[] = "○ %s\r\n    → %s";
const char kFailedFormat[] = "× %s\r\n    → %s";
const char kRenamedFormat[] = "    (同じ名前の書庫がほかにあるため、この名前にしました)";
const char kSkipped[] = "既に存在するため、作成しませんでした";
const char kNotRun[] = "中止したため、作成しませんでした";
const char kNoName[] = "書庫の名前を決められませんでした";
// What an archiver DLL returns when its progress window was cancelled.
const int kArchiverUserCancel = 0x8020;

// Forwards one item's job to the user's dialogs: the password is asked once,
// an overwrite answer for the rest is kept, and what the job says is kept for
// the final result instead of being shown item by item.
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
    void ShowError(const std::string& text) override { Note(text); }
    void ShowErrorWide(const std::wstring& text) override { Note(WideToShiftJis(text)); }
    bool AskWide(const std::wstring& text) override { return m_ui.AskWide(text); }
    void ShowResult(const std::string& text) override { Note(text); }
    void OpenFolder(const std::string& folder) override { m_folder = folder; }
    void ArchiverReturned(int code) override
    {
        if (code == kArchiverUserCancel)
            m_cancelled = true;
    }

private:
    void Note(const std::string& text)
    {
        if (m_outcome != nullptr && m_outcome->error.empty())
            m_outcome->error = text;
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

bool SameName(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// name, or name with "(2)", "(3)"... before its extension, whichever no
// earlier item of this run has taken.
std::string FreeName(const std::string& name, const std::vector<CItemOutcome>& taken)
{
    auto isTaken = [&taken](const std::string& candidate) {
        for (const CItemOutcome& outcome : taken)
            if (SameName(outcome.archive, candidate))
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

int CEachModeRun::Run(IJobCallback& ui, const CCompressJob& first)
{
    m_outcomes.clear();
    char full[kPathBufferSize];
    char folder[kPathBufferSize];
    DWORD length = GetFullPathNameA(first.OutputFile.c_str(), sizeof(full), full, NULL);
    if (first.OutputFile.empty() || length == 0 || length >= sizeof(full) ||
        GetParentFolder(full, folder, sizeof(folder)) <= 0)
    {
        ui.ShowError(kBadNameMessage);
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
            outcome.error = kNotRun;
            continue;
        }
        char name[kPathBufferSize];
        if (!ProposeOutputName(item, folder, extension, name, sizeof(name)))
        {
            outcome.error = kNoName;
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
        int result = RunCompressJob(items, &job, std::vector<std::wstring>{item});
        outcome.made = result == kJobSucceeded;
        if (outcome.made)
            outcome.error.clear();
        else if (outcome.error.empty())
            outcome.error = result == kJobGiveAnotherName ? (items.Cancelled() ? kNotRun : kSkipped) : kNotRun;
    }

    if (!AllMade() || first.Setting.AllwaysResult)
        ui.ShowResult(DescribeOutcomes(m_outcomes));
    if (items.OpenFolderAsked())
        ui.OpenFolder(items.Folder());
    return AllMade() ? kJobSucceeded : kJobArchiverFailed;
}

bool CEachModeRun::AllMade() const
{
    if (m_outcomes.size() != m_items.size())
        return false;
    for (const CItemOutcome& outcome : m_outcomes)
        if (!outcome.made)
            return false;
    return true;
}

std::string DescribeOutcomes(const std::vector<CItemOutcome>& outcomes)
{
    unsigned made = 0;
    for (const CItemOutcome& outcome : outcomes)
        made += outcome.made ? 1 : 0;
    std::string text = FormatText(kHeadFormat, static_cast<unsigned>(outcomes.size()), made);
    for (const CItemOutcome& outcome : outcomes)
    {
        text += "\r\n";
        if (outcome.made)
            text += FormatText(kMadeFormat, outcome.item.c_str(), outcome.archive.c_str());
        else
            text += FormatText(kFailedFormat, outcome.item.c_str(), outcome.error.c_str());
        if (outcome.renamed)
            text += std::string("\r\n") + kRenamedFormat;
    }
    return text;
}
