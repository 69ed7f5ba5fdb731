#include "bridges/core/BridgeRun.h"

#include "bridges/core/ArchiveNames.h"
#include "bridges/core/BridgeDll.h"
#include "bridges/core/BridgeMessages.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/HostSession.h"
#include "bridges/core/HostTools.h"
#include "bridges/core/ProgressWindow.h"
#include "common/TextFormat.h"

#include <wchar.h>

#include <memory>
#include <set>

namespace {

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

// The names of the files an archive holds, as readers show them; for a ZIP
// its directory records too.
bool ReadArchiveNames(CHostSession* session, const CHostPlan& plan, const std::wstring& archive,
                      std::vector<std::wstring>* names, std::vector<CZipEntry>* zipEntries)
{
    names->clear();
    switch (plan.check)
    {
    case CHostPlan::kCheckNone:
        return true;
    case CHostPlan::kCheckZip:
    case CHostPlan::kCheckZipMarkUtf8:
        return ReadZipEntries(archive, zipEntries) && ZipFileNames(*zipEntries, names);
    case CHostPlan::kCheckCab:
        return ReadCabNames(archive, names);
    case CHostPlan::kCheckLha:
    {
        std::vector<std::string> stored;
        if (!ReadLhaNames(archive, &stored))
            return false;
        for (const std::string& name : stored)
            names->push_back(ShiftJisToWide(name));
        return true;
    }
    case CHostPlan::kCheckSevenZip:
    {
        // A 7z's directory is compressed, and encrypted with -mhe: 7zz lists it.
        CHostRun list;
        list.tool = "7zz";
        list.args = {CHostArg{CHostArg::kText, std::string(), "l"}, CHostArg{CHostArg::kText, std::string(), "-slt"},
                     CHostArg{CHostArg::kText, std::string(), "-ba"},
                     CHostArg{CHostArg::kText, std::string(), "-sccUTF-8"},
                     CHostArg{CHostArg::kText, std::string(), "-scsUTF-8"},
                     CHostArg{CHostArg::kPath, std::string(), plan.archive}};
        list.secret = plan.password;
        list.wholeOutput = true;
        CRunOutcome outcome;
        return session->Run(list, NULL, &outcome) && outcome.exitCode == 0 &&
               ParseSevenZipListing(outcome.output, names);
    }
    }
    return false;
}

// The names read back against the names given; the headline when they differ.
std::string CheckNames(const std::vector<std::wstring>& before, const std::vector<std::string>& expected,
                       const std::vector<std::wstring>& after)
{
    std::vector<std::wstring> given;
    for (const std::string& name : expected)
        given.push_back(ProgramToWide(name));
    std::wstring name;
    switch (CompareArchiveNames(before, given, after, &name))
    {
    case kNamesMatch:
        return std::string();
    case kNamesMissing:
        return ProgramMessage(kMsgNameMissing, WideToProgram(name));
    case kNamesExtra:
        return ProgramMessage(kMsgNameExtra, WideToProgram(name));
    case kNamesDoubled:
        return ProgramMessage(kMsgNameDoubled, WideToProgram(name));
    }
    return ProgramMessage(kMsgNameMissing);
}

// Info-ZIP stores the host's UTF-8 names without the UTF-8 flag: the entries
// of the names given (this run's) get it; the old ones keep their names and
// flags as they were, Shift_JIS names of Windows ZIPs too.
bool MarkNewEntries(const std::wstring& archive, const std::vector<CZipEntry>& entries,
                    const std::vector<std::string>& expected)
{
    std::set<std::wstring> given;
    for (const std::string& name : expected)
        given.insert(FoldName(ProgramToWide(name)));
    std::vector<CZipEntry> mark;
    for (const CZipEntry& entry : entries)
        if (NeedsUtf8Flag(entry) && given.count(FoldName(ZipEntryName(entry))) != 0)
            mark.push_back(entry);
    return mark.empty() || SetZipUtf8Flag(archive, mark);
}

// A copy of the archive a run adds to, beside it, so that a failed run leaves
// the archive as it was: the job restores only an archive it moved aside.
bool CopyAside(const std::wstring& archive, std::wstring* copy)
{
    for (unsigned attempt = 0; attempt < 1000; ++attempt)
    {
        wchar_t suffix[32];
        swprintf(suffix, 32, L".tbr%lx-%u.tmp", GetCurrentProcessId(), attempt);
        *copy = archive + suffix;
        if (CopyFileW(archive.c_str(), copy->c_str(), TRUE))
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    copy->clear();
    return false;
}

// The headline and as much of the tool's text as fits, its end rather than
// its start: that is where tools say what went wrong.
void PutText(const std::string& headline, const std::string& toolText, char* output, DWORD size)
{
    std::string lead = headline.empty() ? std::string() : WithCrLf(headline) + "\r\n";
    if (!lead.empty() && !toolText.empty())
        lead += "\r\n";
    std::wstring body = ProgramToWide(toolText);
    std::string text = lead + toolText;
    size_t keep = body.size();
    while (text.size() + 1 > size && keep > 0)
    {
        keep = keep * 9 / 10;
        text = lead + "...\r\n" + WideToProgram(body.substr(body.size() - keep));
    }
    CopyToOutput(text, output, size);
}

int Execute(HINSTANCE instance, HWND owner, const std::string& line, char* output, DWORD size,
            BridgeTranslation translate)
{
    CHostPlan plan;
    translate(line, &plan);
    if (plan.refusal != kArchiverResultOk)
    {
        PutText(plan.message, std::string(), output, size);
        return plan.refusal;
    }
    std::wstring archive = ProgramToWide(plan.archive);
    bool existed = GetFileAttributesW(archive.c_str()) != INVALID_FILE_ATTRIBUTES;

    CHostSession session;
    if (!session.IsReady())
    {
        PutText(ProgramMessage(kMsgNoSession), std::string(), output, size);
        return kArchiverResultFailed;
    }
    std::vector<std::wstring> before;
    std::vector<CZipEntry> zipEntries;
    std::wstring copy;
    if (existed && !ReadArchiveNames(&session, plan, archive, &before, &zipEntries))
    {
        PutText(ProgramMessage(kMsgArchiveUnreadable, plan.archive), std::string(), output, size);
        return kArchiverResultFailed;
    }
    if (existed && !CopyAside(archive, &copy))
    {
        PutText(ProgramMessage(kMsgNoBackup, plan.archive), std::string(), output, size);
        return kArchiverResultFailed;
    }
    std::unique_ptr<CProgressWindow> window;
    if (plan.showProgress)
        window.reset(new CProgressWindow(
            instance, owner, ProgramTextIsUtf8() ? WideToShiftJis(ProgramToWide(plan.archive)) : plan.archive));

    int result = kArchiverResultOk;
    std::string headline;
    std::string log;
    for (const CHostRun& run : plan.runs)
    {
        CRunOutcome outcome;
        if (!session.Run(run, window.get(), &outcome))
        {
            headline = outcome.failure;
            result = kArchiverResultFailed;
            break;
        }
        log += outcome.output;
        if (outcome.cancelled)
        {
            headline = ProgramMessage(kMsgCancelled);
            result = kArchiverResultUserCancel;
        }
        else if (outcome.timedOut)
        {
            headline = FormatText(ProgramMessage(kMsgTimedOut).c_str(), MainTool(run).c_str(), HostTimeoutSeconds());
            result = kArchiverResultFailed;
        }
        else if (outcome.exitCode != 0)
        {
            headline = FormatText(ProgramMessage(kMsgToolFailed).c_str(), MainTool(run).c_str(), outcome.exitCode);
            result = kArchiverResultFailed;
        }
        if (result != kArchiverResultOk)
            break;
    }
    if (result == kArchiverResultOk && GetFileAttributesW(archive.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        headline = ProgramMessage(kMsgNoArchive, plan.archive);
        result = kArchiverResultFailed;
    }
    if (result == kArchiverResultOk && plan.check != CHostPlan::kCheckNone)
    {
        std::vector<std::wstring> after;
        if (!ReadArchiveNames(&session, plan, archive, &after, &zipEntries))
            headline = ProgramMessage(kMsgArchiveUnreadable, plan.archive);
        else
            headline = CheckNames(before, plan.expectedNames, after);
        if (headline.empty() && plan.check == CHostPlan::kCheckZipMarkUtf8 &&
            !MarkNewEntries(archive, zipEntries, plan.expectedNames))
            headline = ProgramMessage(kMsgArchiveUnreadable, plan.archive);
        if (!headline.empty())
            result = kArchiverResultFailed;
    }
    window.reset();
    // What this call began and could not finish goes. An archive that was
    // there before comes back from its copy; one the job moved aside it puts
    // back itself.
    if (result != kArchiverResultOk)
    {
        DeleteFileW(archive.c_str());
        if (!copy.empty() && !MoveFileW(copy.c_str(), archive.c_str()))
            headline += "\n" + ProgramMessage(kMsgBackupKept, WideToProgram(copy));
    }
    else if (!copy.empty())
        DeleteFileW(copy.c_str());
    PutText(headline, Utf8ToProgram(TerminalText(log)), output, size);
    return result;
}

}  // namespace

int RunBridgeCommand(HWND owner, LPCSTR line, LPSTR output, DWORD size, BridgeTranslation translate)
{
    try
    {
        return Execute(CBridgeDll::This().Module(), owner, line != NULL ? line : "", output, size, translate);
    }
    catch (...)
    {
        CopyToOutput(ProgramMessage(kMsgNoSession), output, size);
        return kArchiverResultFailed;
    }
}

BOOL SetBridgeUnicodeMode(BOOL on)
{
    CBridgeDll::This().SetUnicodeMode(on != FALSE);
    return TRUE;
}

BOOL AttachBridge(HINSTANCE instance, DWORD reason, std::initializer_list<const char*> tools)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    CBridgeDll::This().Attach(instance);
    DisableThreadLibraryCalls(instance);
    for (const char* tool : tools)
        if (FindHostTool(tool).empty())
            return FALSE;
    return TRUE;
}
