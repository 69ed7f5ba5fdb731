#include "bridges/BridgeRun.h"

#include "bridges/ArchiveNames.h"
#include "bridges/BridgeMessages.h"
#include "bridges/BridgeText.h"
#include "bridges/HostSession.h"
#include "bridges/HostTools.h"
#include "bridges/ProgressWindow.h"

#include <stdio.h>

#include <memory>
#include <set>

namespace {

std::string Format(const char* format, const std::string& detail)
{
    char text[2048];
    snprintf(text, sizeof(text), format, detail.c_str());
    return text;
}

std::string MainTool(const CHostRun& run)
{
    for (const CHostArg& arg : run.args)
        if (arg.kind == CHostArg::kTool)
            return arg.value;
    return run.tool;
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::wstring FoldCase(const std::wstring& name)
{
    std::wstring folded = name;
    if (!folded.empty())
        CharLowerBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

// Shift_JIS names from the list against the archive's names (wide), without
// regard to case: the host names keep the case on disk.
bool FindMissing(const std::vector<std::string>& expected, const std::set<std::wstring>& stored, std::string* missing)
{
    for (const std::string& name : expected)
    {
        if (stored.find(FoldCase(ShiftJisToWide(name))) == stored.end())
        {
            *missing = name;
            return true;
        }
    }
    return false;
}

// The headline and as much of the tool's text as fits, its end rather than
// its start: that is where tools say what went wrong.
void PutText(const std::string& headline, const std::string& toolText, char* output, DWORD size)
{
    std::string lead = headline.empty() ? std::string() : WithCrLf(headline) + "\r\n";
    if (!lead.empty() && !toolText.empty())
        lead += "\r\n";
    std::wstring body = ShiftJisToWide(toolText);
    std::string text = lead + toolText;
    size_t keep = body.size();
    while (text.size() + 1 > size && keep > 0)
    {
        keep = keep * 9 / 10;
        text = lead + "...\r\n" + WideToShiftJis(body.substr(body.size() - keep));
    }
    CopyToOutput(text, output, size);
}

int Execute(HINSTANCE instance, HWND owner, const std::string& line, char* output, DWORD size,
            BridgeTranslation translate)
{
    CHostPlan plan;
    translate(line, &plan);
    if (plan.refusal != kResultOk)
    {
        PutText(plan.message, std::string(), output, size);
        return plan.refusal;
    }
    std::wstring archive = ShiftJisToWide(plan.archive);
    bool existed = GetFileAttributesW(archive.c_str()) != INVALID_FILE_ATTRIBUTES;

    CHostSession session;
    if (!session.IsReady())
    {
        PutText(kMsgNoSession, std::string(), output, size);
        return kResultFailed;
    }
    std::unique_ptr<CProgressWindow> window;
    if (plan.showProgress)
        window.reset(new CProgressWindow(instance, owner, plan.archive));

    int result = kResultOk;
    std::string headline;
    std::string log;
    for (const CHostRun& run : plan.runs)
    {
        CRunOutcome outcome;
        if (!session.Run(run, window.get(), &outcome))
        {
            headline = outcome.failure;
            result = kResultFailed;
            break;
        }
        log += outcome.output;
        char text[512];
        if (outcome.cancelled)
        {
            headline = kMsgCancelled;
            result = kResultUserCancel;
        }
        else if (outcome.timedOut)
        {
            snprintf(text, sizeof(text), kMsgTimedOut, MainTool(run).c_str(), HostTimeoutSeconds());
            headline = text;
            result = kResultFailed;
        }
        else if (outcome.exitCode != 0)
        {
            snprintf(text, sizeof(text), kMsgToolFailed, MainTool(run).c_str(), outcome.exitCode);
            headline = text;
            result = kResultFailed;
        }
        if (result != kResultOk)
            break;
    }
    if (result == kResultOk && GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        headline = Format(kMsgNoArchive, plan.archive);
        result = kResultFailed;
    }
    if (result == kResultOk && plan.check != CHostPlan::kCheckNone)
    {
        std::vector<std::string> names;
        std::set<std::wstring> stored;
        bool readable = true;
        if (plan.check == CHostPlan::kCheckZip)
        {
            EZipNames read = ReadZipNames(archive, true, &names);
            readable = read != kZipNamesBroken;
            if (read != kZipNamesRead)
                names.clear();
            for (const std::string& name : names)
            {
                std::wstring wide = Utf8ToWide(name);
                for (wchar_t& c : wide)
                    if (c == L'/')
                        c = L'\\';
                stored.insert(FoldCase(wide));
            }
            if (read == kZipNamesUnchecked)
                plan.expectedNames.clear();
        }
        else
        {
            readable = ReadLhaNames(archive, &names);
            for (const std::string& name : names)
                stored.insert(FoldCase(ShiftJisToWide(name)));
        }
        std::string missing;
        if (!readable)
        {
            headline = Format(kMsgNoArchive, plan.archive);
            result = kResultFailed;
        }
        else if (FindMissing(plan.expectedNames, stored, &missing))
        {
            headline = Format(kMsgNameMissing, missing);
            result = kResultFailed;
        }
    }
    window.reset();
    // What this call began and could not finish goes; an archive that was
    // there before (adding to it) stays as the tool left it.
    if (result != kResultOk && !existed)
        DeleteFileW(archive.c_str());
    PutText(headline, Utf8ToShiftJis(TerminalText(log)), output, size);
    return result;
}

}  // namespace

int RunBridgeCommand(HINSTANCE instance, HWND owner, LPCSTR line, LPSTR output, DWORD size,
                     BridgeTranslation translate)
{
    try
    {
        return Execute(instance, owner, line != NULL ? line : "", output, size, translate);
    }
    catch (...)
    {
        CopyToOutput(kMsgNoSession, output, size);
        return kResultFailed;
    }
}

bool HostToolsPresent(std::initializer_list<const char*> tools)
{
    for (const char* tool : tools)
        if (FindHostTool(tool).empty())
            return false;
    return true;
}
