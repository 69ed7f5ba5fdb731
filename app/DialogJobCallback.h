#pragma once

#include "job/JobCallback.h"

#include <windows.h>

// The job's dialogs, owned by owner (the compress dialog).
class CDialogJobCallback : public IJobCallback
{
public:
    explicit CDialogJobCallback(HWND owner) : m_owner(owner) {}

    HWND ArchiverOwner() override { return m_owner; }
    bool AskPassword(CCompressJob* job) override;
    EOverwriteAnswer AskOverwrite(CCompressJob* job) override;
    EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) override;
    void ShowError(const std::string& text) override;
    void ShowErrorWide(const std::wstring& text) override;
    bool AskWide(const std::wstring& text) override;
    void ShowResult(const std::string& text) override;
    void OpenFolder(const std::string& folder) override;

private:
    HWND m_owner;
};
