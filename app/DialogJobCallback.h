#pragma once

#include "job/JobCallback.h"

#include <windows.h>

// The job's dialogs, owned by owner (the compress dialog); they word what the
// job reports with the texts of app/JobWords.h.
class CDialogJobCallback : public IJobCallback
{
public:
    explicit CDialogJobCallback(HWND owner) : m_owner(owner) {}

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

private:
    // The names may lie beyond the ANSI code page: these boxes are wide.
    void ShowWideError(const std::wstring& text);

    HWND m_owner;
};
