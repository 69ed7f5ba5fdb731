#include "bridges/core/BridgeRun.h"

#include "bridges/core/ArchiveNames.h"
#include "bridges/core/BridgeDll.h"
#include "bridges/core/BridgeListing.h"
#include "bridges/core/BridgeMessages.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/HostSession.h"
#include "bridges/core/HostTools.h"
#include "common/TextFormat.h"
#include "dllkit/ProgressWindow.h"

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
        std::string listing;
        return ListWithSevenZip(session, plan.archive, plan.password, &listing) &&
               ParseSevenZipListing(listing, names);
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

// One command the plan was made for: the tools run in a session of their
// own, the archive is read back, and whatever a failed command began is
// undone.
class CBridgeCommand
{
public:
    explicit CBridgeCommand(const CHostPlan& plan) : m_plan(plan), m_archive(ProgramToWide(plan.archive)) {}

    // The command's result; *headline says what went wrong, *log is what the
    // tools wrote (UTF-8).
    int Execute(HWND owner, std::string* headline, std::string* log);

private:
    CBridgeCommand(const CBridgeCommand&) = delete;
    CBridgeCommand& operator=(const CBridgeCommand&) = delete;

    bool Prepare(std::string* headline);
    int RunTools(CProgressSink* progress, std::string* headline, std::string* log);
    int CheckArchive(std::string* headline);
    void Settle(int result, std::string* headline);

    const CHostPlan& m_plan;
    const std::wstring m_archive;
    CHostSession m_session;
    std::vector<std::wstring> m_before;  // the names an archive added to held
    std::vector<CZipEntry> m_zipEntries;
    std::wstring m_copy;  // of the archive added to, while the tools run
};

int CBridgeCommand::Execute(HWND owner, std::string* headline, std::string* log)
{
    if (!Prepare(headline))
        return kArchiverResultFailed;
    std::unique_ptr<CProgressWindow> window;
    if (m_plan.showProgress)
        window.reset(new CProgressWindow(CBridgeDll::This().Module(), owner,
                                         ProgramTextIsUtf8() ? WideToShiftJis(m_archive) : m_plan.archive));
    int result = RunTools(window.get(), headline, log);
    if (result == kArchiverResultOk)
        result = CheckArchive(headline);
    window.reset();
    Settle(result, headline);
    return result;
}

// An archive that is there already is added to: its names are read and a
// copy of it is made first.
bool CBridgeCommand::Prepare(std::string* headline)
{
    bool existed = GetFileAttributesW(m_archive.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!m_session.IsReady())
    {
        *headline = ProgramMessage(kMsgNoSession);
        return false;
    }
    if (existed && !ReadArchiveNames(&m_session, m_plan, m_archive, &m_before, &m_zipEntries))
    {
        *headline = ProgramMessage(kMsgArchiveUnreadable, m_plan.archive);
        return false;
    }
    if (existed && !CopyAside(m_archive, &m_copy))
    {
        *headline = ProgramMessage(kMsgNoBackup, m_plan.archive);
        return false;
    }
    return true;
}

int CBridgeCommand::RunTools(CProgressSink* progress, std::string* headline, std::string* log)
{
    for (const CHostRun& run : m_plan.runs)
    {
        CRunOutcome outcome;
        if (!m_session.Run(run, progress, &outcome))
        {
            *headline = outcome.failure;
            return kArchiverResultFailed;
        }
        *log += outcome.output;
        if (outcome.cancelled)
        {
            *headline = ProgramMessage(kMsgCancelled);
            return kArchiverResultUserCancel;
        }
        if (outcome.timedOut)
        {
            *headline =
                FormatText(ProgramMessage(kMsgTimedOut).c_str(), MainTool(run).c_str(), HostTimeoutSeconds());
            return kArchiverResultFailed;
        }
        if (outcome.exitCode != 0)
        {
            *headline = FormatText(ProgramMessage(kMsgToolFailed).c_str(), MainTool(run).c_str(), outcome.exitCode);
            return kArchiverResultFailed;
        }
    }
    return kArchiverResultOk;
}

int CBridgeCommand::CheckArchive(std::string* headline)
{
    if (GetFileAttributesW(m_archive.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        *headline = ProgramMessage(kMsgNoArchive, m_plan.archive);
        return kArchiverResultFailed;
    }
    if (m_plan.check == CHostPlan::kCheckNone)
        return kArchiverResultOk;
    std::vector<std::wstring> after;
    if (!ReadArchiveNames(&m_session, m_plan, m_archive, &after, &m_zipEntries))
        *headline = ProgramMessage(kMsgArchiveUnreadable, m_plan.archive);
    else
        *headline = CheckNames(m_before, m_plan.expectedNames, after);
    if (headline->empty() && m_plan.check == CHostPlan::kCheckZipMarkUtf8 &&
        !MarkNewEntries(m_archive, m_zipEntries, m_plan.expectedNames))
        *headline = ProgramMessage(kMsgArchiveUnreadable, m_plan.archive);
    return headline->empty() ? kArchiverResultOk : kArchiverResultFailed;
}

// What this call began and could not finish goes. An archive that was there
// before comes back from its copy; one the job moved aside it puts back
// itself.
void CBridgeCommand::Settle(int result, std::string* headline)
{
    if (result != kArchiverResultOk)
    {
        DeleteFileW(m_archive.c_str());
        if (!m_copy.empty() && !MoveFileW(m_copy.c_str(), m_archive.c_str()))
            *headline += "\n" + ProgramMessage(kMsgBackupKept, WideToProgram(m_copy));
    }
    else if (!m_copy.empty())
        DeleteFileW(m_copy.c_str());
}

int Execute(HWND owner, const std::string& line, char* output, DWORD size, BridgeTranslation translate)
{
    CHostPlan plan;
    translate(line, &plan);
    if (plan.refusal != kArchiverResultOk)
    {
        PutText(plan.message, std::string(), output, size);
        return plan.refusal;
    }
    CBridgeCommand command(plan);
    std::string headline;
    std::string log;
    int result = command.Execute(owner, &headline, &log);
    PutText(headline, Utf8ToProgram(TerminalText(log)), output, size);
    return result;
}

}  // namespace

int RunBridgeCommand(HWND owner, LPCSTR line, LPSTR output, DWORD size, BridgeTranslation translate)
{
    try
    {
        return Execute(owner, line != NULL ? line : "", output, size, translate);
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
