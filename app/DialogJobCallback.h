#pragma once

#include "job/JobCallback.h"
#include "ui/jobdialogs/JobProgressDialog.h"

#include <windows.h>

// The job's dialogs, owned by owner (the compress dialog); they word what the
// job reports with the texts of app/JobWords.h.
class CDialogJobCallback : public IJobCallback
{
public:
    explicit CDialogJobCallback(HWND owner) : m_owner(owner) {}
    // The progress window goes with the job; the background mode ends.
    ~CDialogJobCallback();

    HWND ArchiverOwner() override { return m_owner; }
    bool AskPassword(CCompressJob* job) override;
    EOverwriteAnswer AskOverwrite(CCompressJob* job) override;
    EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) override;
    void Fail(EJobFailure reason, const std::string& detail) override;
    void ReportUnnamable(const CUnnamableFiles& files) override;
    void ReportLeftOut(const std::vector<CLeftOutEntry>& entries) override;
    bool ConfirmLeftOut(const std::vector<CLeftOutEntry>& entries) override;
    void ShowResult(const CArchiverReport& report) override;
    void ShowItems(const std::vector<CItemOutcome>& outcomes) override;
    void OpenFolder(const std::string& folder) override;
    void WaitForStep(HANDLE done, CJobProgress* progress) override;

private:
    // The names may lie beyond the ANSI code page: these boxes are wide.
    void ShowWideError(const std::wstring& text);

    // Serves every window of the thread until done is signalled or ms have passed.
    bool ServeUntil(HANDLE done, DWORD ms);

    HWND m_owner;
    CJobProgressDialog m_progress;
    bool m_progressMade = false;
    bool m_background = false;
    DWORD m_jobStart = 0;  // of the job's first long step
};
