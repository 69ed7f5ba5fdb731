#pragma once

#include <windows.h>

#include <string>

struct CCompressJob;

// The user's answer when the output archive exists. Not the settings'
// overwrite action (EOverwriteAction), though the job stores one as the other.
enum class EOverwriteAnswer
{
    Overwrite,
    Append,
    GiveAnotherName,  // also the dialog closed
    Cancel,           // one archive per item: stop the items that remain
};

// Everything a compression job asks or tells the user goes through here, so
// the job itself opens no window: compress mode hands it the job's dialogs
// (CDialogJobCallback), tests hand it scripted answers.
class IJobCallback
{
public:
    virtual ~IJobCallback() {}

    // The window that owns what the archiver DLL shows while it runs; NULL for none.
    virtual HWND ArchiverOwner() = 0;
    // Sets job->Password; false when the user cancelled.
    virtual bool AskPassword(CCompressJob* job) = 0;
    virtual EOverwriteAnswer AskOverwrite(CCompressJob* job) = 0;
    // The question for one of several items: GiveAnotherName skips this item,
    // Cancel stops them all; *forRest is set when the answer holds for the rest.
    virtual EOverwriteAnswer AskItemOverwrite(CCompressJob* job, bool* forRest) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // For texts with names the ANSI code page cannot hold.
    virtual void ShowErrorWide(const std::wstring& text) = 0;
    // A yes/no question, "No" the default; true for "Yes".
    virtual bool AskWide(const std::wstring& text) = 0;
    // The archiver's output text, or what the job says in its place.
    virtual void ShowResult(const std::string& text) = 0;
    virtual void OpenFolder(const std::string& folder) = 0;
    // What the archiver DLL returned (its cancel code among them).
    virtual void ArchiverReturned(int code) {}
};

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
