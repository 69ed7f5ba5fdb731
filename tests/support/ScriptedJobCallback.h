#pragma once

#include "job/JobCallback.h"
#include "common/TextConvert.h"
#include "settings/CompressJob.h"

#include <string>
#include <vector>

// Answers a job's questions from a script and records what the job said, so a
// job runs with no window at all.
class CScriptedJobCallback : public IJobCallback
{
public:
    // Answers, used in order; a question beyond the script cancels (no
    // password, another name).
    std::vector<std::string> passwords;
    std::vector<EOverwriteAnswer> overwriteAnswers;
    std::vector<bool> yesNoAnswers;
    // For the question of one of several items: whether each answer holds for the rest.
    std::vector<bool> forRestAnswers;
    int archiverCode = -1;  // the last code the archiver returned

    // What the job did, in order: "password", "overwrite", "error: <text>",
    // "ask: <text>", "result: <text>", "open: <folder>"; wide texts in the ANSI code page.
    std::vector<std::string> events;
    // The wide texts (errors and questions) as they were, for names the ANSI
    // code page cannot hold.
    std::vector<std::wstring> wideTexts;

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
    void ShowError(const std::string& text) override { events.push_back("error: " + text); }
    void ShowErrorWide(const std::wstring& text) override
    {
        events.push_back("error: " + WideToShiftJis(text));
        wideTexts.push_back(text);
    }
    bool AskWide(const std::wstring& text) override
    {
        events.push_back("ask: " + WideToShiftJis(text));
        wideTexts.push_back(text);
        return m_yesNo < yesNoAnswers.size() && yesNoAnswers[m_yesNo++];
    }
    void ShowResult(const std::string& text) override { events.push_back("result: " + text); }
    void OpenFolder(const std::string& folder) override { events.push_back("open: " + folder); }
    void ArchiverReturned(int code) override { archiverCode = code; }

private:
    size_t m_yesNo = 0;
    size_t m_forRest = 0;
    size_t m_password = 0;
    size_t m_overwrite = 0;
};
