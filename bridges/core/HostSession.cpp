#include "bridges/core/HostSession.h"

#include "bridges/core/BridgeMessages.h"
#include "bridges/core/BridgeText.h"
#include "bridges/core/HostTools.h"
#include "common/FileBytes.h"
#include "common/ScopedHandle.h"
#include "common/ShiftJis.h"
#include "common/TextConvert.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <map>

namespace {

// $1 status file, $2 output file, $3 process-id file, $4 bound in seconds,
// $5 folder to run in, $6 standard input ("" for none), $7 the 1-based
// position of an argument to decode from octal escapes (0 for none), then the
// tool and its arguments. timeout makes the tool a process group of its own
// and passes a TERM on to all of it, so xargs and java end with it.
const char kWrapperScript[] =
    "status=$1; out=$2; pidfile=$3; bound=$4; dir=$5; input=$6; decode=$7; shift 7\n"
    "n=$#; i=0\n"
    "while [ $i -lt $n ]; do\n"
    "  i=$((i+1)); a=$1; shift\n"
    "  if [ $i -eq \"$decode\" ]; then a=$(printf '%b' \"$a\"); fi\n"
    "  set -- \"$@\" \"$a\"\n"
    "done\n"
    "[ -n \"$input\" ] || input=/dev/null\n"
    ": >\"$out\"\n"
    "code=126\n"
    "if cd \"$dir\" 2>>\"$out\"; then\n"
    "  timeout -k 5 \"$bound\" \"$@\" <\"$input\" >>\"$out\" 2>&1 &\n"
    "  echo $! >\"$pidfile\"\n"
    "  wait $!\n"
    "  code=$?\n"
    "fi\n"
    "echo $code >\"$status.part\"\n"
    "mv -f \"$status.part\" \"$status\"\n";

const char kKillScript[] = "[ -s \"$1\" ] && kill -TERM \"$(cat \"$1\")\" 2>/dev/null";
const char kRemoveScript[] = "rm -rf -- \"$1\"";
// Wine makes folders and files with the default mode, which other users may
// read: the session folder is closed to them before a secret goes in.
const char kPrivateScript[] = "chmod 700 -- \"$1\" && : >\"$1/private\"";

const DWORD kPollMs = 20;
const DWORD kProgressEveryMs = 150;
// After the bound the wrapper's own timeout has ended the tool; this is only
// for a wrapper that never reports.
const unsigned kGraceSeconds = 15;
const DWORD kCancelWaitMs = 10000;
const size_t kOutputKeep = 256 * 1024;

// The staging folder's lines for kLinkScript: host paths, "/" separated,
// relative to it (files) and the base folders they come from. A folder or
// file that only one base folder contributes to is one link to it; a folder
// that several share is made, and their entries below it are linked one by
// one. Tools follow the links. Parents come before their children: a prefix
// sorts before everything it starts.
std::string LinkLines(const std::vector<std::pair<std::string, std::string>>& files)
{
    struct CNode
    {
        std::string base;
        bool shared;
    };
    std::map<std::string, CNode> nodes;
    for (const auto& file : files)
    {
        const std::string& relative = file.second;
        for (size_t end = relative.find('/');; end = relative.find('/', end + 1))
        {
            std::string path = relative.substr(0, end);
            auto found = nodes.emplace(path, CNode{file.first, false}).first;
            if (found->second.base != file.first)
                found->second.shared = true;
            if (end == std::string::npos)
                break;
        }
    }
    std::string lines;
    for (const auto& node : nodes)
    {
        size_t slash = node.first.rfind('/');
        if (slash != std::string::npos && !nodes.at(node.first.substr(0, slash)).shared)
            continue;  // inside a link
        if (node.second.shared)
            lines += "D\t" + node.first + "\n";
        else
            lines += "L\t" + node.second.base + node.first + "\t" + node.first + "\n";
    }
    return lines;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::wstring QuoteArgument(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument)
    {
        if (c == L'\\')
        {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

CHostSession::CHostSession() : m_runs(0), m_private(false)
{
    // The session's paths are program text like every other path the bridge
    // handles, so one conversion serves them all.
    wchar_t temp[MAX_PATH] = L"";
    if (GetTempPathW(MAX_PATH, temp) == 0)
        return;
    std::string base = WideToProgram(temp);
    if (EndsWithProgramSeparator(base))
        base.pop_back();
    for (unsigned attempt = 0; attempt < 100; ++attempt)
    {
        char name[64];
        snprintf(name, sizeof(name), "\\tbr%lx%02x%04lx", GetCurrentProcessId(), attempt, GetTickCount() & 0xFFFF);
        std::string folder = base + name;
        if (CreateDirectoryW(ProgramToWide(folder).c_str(), NULL))
        {
            m_folder = folder;
            m_stage = folder + "\\stage";
            m_hostFolder = ToHostPath(folder);
            if (m_hostFolder.empty() || !CreateDirectoryW(ProgramToWide(m_stage).c_str(), NULL))
            {
                RemoveDirectoryW(ProgramToWide(m_stage).c_str());
                RemoveDirectoryW(ProgramToWide(folder).c_str());
                m_hostFolder.clear();
            }
            return;
        }
    }
}

CHostSession::~CHostSession()
{
    ForgetSecrets();
    if (IsReady())
        RemoveFolder();
}

void CHostSession::ForgetSecrets()
{
    for (const std::string& path : m_secrets)
        DeleteFileW(ProgramToWide(path).c_str());
    m_secrets.clear();
}

void CHostSession::RemoveFolder()
{
    // The staging folder holds links into the user's folders: only the host's
    // rm, which never follows a link, may take it away.
    std::vector<std::string> arguments = {"-c", kRemoveScript, "sh", m_hostFolder};
    std::wstring folder = ProgramToWide(m_folder);
    if (StartShell(arguments))
    {
        DWORD start = GetTickCount();
        while (Exists(folder) && GetTickCount() - start < kCancelWaitMs)
            Sleep(kPollMs);
    }
}

bool CHostSession::StartShell(const std::vector<std::string>& arguments)
{
    std::wstring shell = ToWindowsPath("/bin/sh");
    if (shell.empty())
        return false;
    std::wstring commandLine = L"/bin/sh";
    for (const std::string& argument : arguments)
        commandLine += L" " + QuoteArgument(Utf8ToWide(argument));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // A GUI process must detach the host program, or its output is lost.
    // Wine hands back no process handle for a host program and a thread
    // handle that is not valid: there is nothing to wait on or close.
    if (!CreateProcessW(shell.c_str(), &commandLine[0], NULL, NULL, FALSE, DETACHED_PROCESS, NULL, NULL, &startup,
                        &process))
        return false;
    CScopedHandle processHandle(process.hProcess);
    return true;
}

void CHostSession::Kill(const std::string& hostPidFile)
{
    StartShell({"-c", kKillScript, "sh", hostPidFile});
}

bool CHostSession::WriteNames(const CHostRun& run, const std::string& path, std::string* failure)
{
    std::string lines;
    std::vector<std::pair<std::string, std::string>> links;
    for (const CHostName& name : run.names)
    {
        std::string full = name.baseFolder + "\\" + name.relative;
        // The host's names are case-sensitive and the program's need not be:
        // Wine's mapping of the whole path gives the names as they are on disk.
        std::string hostBase = ToHostPath(name.baseFolder + "\\");
        std::string hostFull = ToHostPath(full);
        if (hostFull.empty() || hostBase.empty())
        {
            *failure = ProgramMessage(kMsgPathUnmapped, full);
            return false;
        }
        if (hostBase.back() != '/')
            hostBase += '/';
        std::string relative = hostFull.compare(0, hostBase.size(), hostBase) == 0
                                   ? hostFull.substr(hostBase.size())
                                   : ProgramToUtf8(ToHostRelativeName(name.relative));
        if (run.linkLines)
            links.push_back(std::make_pair(hostBase, relative));
        else if (run.dotSlashDash && relative[0] == '-')
            lines += "./" + relative + "\n";
        else
            lines += relative + "\n";
    }
    if (run.linkLines)
        lines = LinkLines(links);
    if (!IsAscii(lines) && !ProcessHasUtf8Locale())
    {
        *failure = ProgramMessage(kMsgLocale);
        return false;
    }
    if (!WriteWholeFile(ProgramToWide(path), lines))
    {
        *failure = ProgramMessage(kMsgNoSession);
        return false;
    }
    return true;
}

bool CHostSession::MakePrivate()
{
    std::wstring marker = ProgramToWide(m_folder + "\\private");
    if (!m_private && StartShell({"-c", kPrivateScript, "sh", m_hostFolder}))
    {
        DWORD start = GetTickCount();
        while (!Exists(marker) && GetTickCount() - start < kCancelWaitMs)
            Sleep(kPollMs);
        m_private = Exists(marker);
    }
    return m_private;
}

bool CHostSession::Run(const CHostRun& run, CProgressSink* progress, CRunOutcome* outcome)
{
    *outcome = CRunOutcome();
    if (!IsReady())
    {
        outcome->failure = ProgramMessage(kMsgNoSession);
        return false;
    }
    std::string tool = FindHostTool(run.tool);
    if (tool.empty())
    {
        outcome->failure = ProgramMessage(kMsgToolMissing, run.tool);
        return false;
    }
    char stem[32];
    snprintf(stem, sizeof(stem), "run%u", ++m_runs);
    CRunFiles files{m_folder + "\\" + stem, m_hostFolder + "/" + stem};

    CLaunch launch;
    launch.arguments = {tool};
    if (!WriteNames(run, files.windows + ".names", &outcome->failure) ||
        !WriteSecret(run, files, &launch.input, &outcome->failure) ||
        !ResolveArguments(run, files, &launch, &outcome->failure))
        return false;
    if (run.namesOnStdin)
        launch.input = files.host + ".names";
    launch.bound = HostTimeoutSeconds();
    if (!Launch(files, launch))
    {
        outcome->failure = ProgramMessage(kMsgStartFailed, run.tool);
        return false;
    }
    Wait(files, launch.bound, progress, outcome);
    ReadOutcome(run, files, outcome);
    ForgetSecrets();
    return true;
}

bool CHostSession::WriteSecret(const CHostRun& run, const CRunFiles& files, std::string* hostSecret,
                               std::string* failure)
{
    if (run.secret.empty())
        return true;
    std::string secretPath = files.windows + ".secret";
    if (!MakePrivate() || !WriteWholeFile(ProgramToWide(secretPath), ProgramToUtf8(run.secret) + "\n"))
    {
        *failure = ProgramMessage(kMsgNoSession);
        return false;
    }
    m_secrets.push_back(secretPath);
    *hostSecret = files.host + ".secret";
    return true;
}

bool CHostSession::ResolveArguments(const CHostRun& run, const CRunFiles& files, CLaunch* launch,
                                    std::string* failure)
{
    std::vector<std::string>& arguments = launch->arguments;
    for (const CHostArg& arg : run.args)
    {
        switch (arg.kind)
        {
        case CHostArg::kText:
            arguments.push_back(ProgramToUtf8(arg.prefix + arg.value));
            break;
        case CHostArg::kPath:
        {
            std::string host = ToHostPath(arg.value);
            if (host.empty())
            {
                *failure = ProgramMessage(kMsgPathUnmapped, arg.value);
                return false;
            }
            arguments.push_back(ProgramToUtf8(arg.prefix) + host);
            break;
        }
        case CHostArg::kTool:
        {
            std::string other = FindHostTool(arg.value);
            if (other.empty())
            {
                *failure = ProgramMessage(kMsgToolMissing, arg.value);
                return false;
            }
            arguments.push_back(other);
            break;
        }
        case CHostArg::kNameList:
            arguments.push_back(ProgramToUtf8(arg.prefix) + files.host + ".names");
            break;
        case CHostArg::kBytes:
            arguments.push_back(OctalEscapes(arg.value));
            launch->decode = arguments.size();
            break;
        }
    }
    bool utf8 = ProcessHasUtf8Locale();
    for (const std::string& argument : arguments)
    {
        if (!utf8 && !IsAscii(argument))
        {
            *failure = ProgramMessage(kMsgLocale);
            return false;
        }
    }

    launch->hostWork = m_hostFolder + "/stage";
    if (!run.workFolder.empty())
    {
        launch->hostWork = ToHostPath(run.workFolder + "\\");
        if (launch->hostWork.empty())
        {
            *failure = ProgramMessage(kMsgPathUnmapped, run.workFolder);
            return false;
        }
    }
    return true;
}

bool CHostSession::Launch(const CRunFiles& files, const CLaunch& launch)
{
    char boundText[16];
    snprintf(boundText, sizeof(boundText), "%u", launch.bound);
    char decodeText[16];
    snprintf(decodeText, sizeof(decodeText), "%u", static_cast<unsigned>(launch.decode));
    std::vector<std::string> arguments = {"-c",          kWrapperScript,  "sh",      files.host + ".status",
                                          files.host + ".out", files.host + ".pid", boundText, launch.hostWork,
                                          launch.input, decodeText};
    arguments.insert(arguments.end(), launch.arguments.begin(), launch.arguments.end());
    return StartShell(arguments);
}

void CHostSession::Wait(const CRunFiles& files, unsigned bound, CProgressSink* progress, CRunOutcome* outcome)
{
    std::string hostPid = files.host + ".pid";
    std::wstring statusPath = ProgramToWide(files.windows + ".status");
    std::wstring outputPath = ProgramToWide(files.windows + ".out");
    ULONGLONG deadline = GetTickCount64() + (static_cast<ULONGLONG>(bound) + kGraceSeconds) * 1000;
    ULONGLONG nextProgress = 0;
    ULONGLONG cancelUntil = 0;
    while (!Exists(statusPath))
    {
        ULONGLONG now = GetTickCount64();
        if (cancelUntil != 0)
        {
            // The pid file may not be there yet when Cancel comes early.
            if (now >= cancelUntil)
                break;
            if ((now / 1000) != ((now - kPollMs) / 1000))
                Kill(hostPid);
            Sleep(kPollMs);
            continue;
        }
        if (now >= deadline)
        {
            outcome->timedOut = true;
            Kill(hostPid);
            cancelUntil = now + kCancelWaitMs;
            continue;
        }
        if (progress == NULL)
        {
            Sleep(kPollMs);
            continue;
        }
        if (now >= nextProgress)
        {
            nextProgress = now + kProgressEveryMs;
            // A missing or unreadable output file shows as no line yet.
            std::string tail;
            ReadFileTail(outputPath, 4096, &tail);
            progress->Show(LastLine(tail));
        }
        if (!progress->Wait(kPollMs))
        {
            outcome->cancelled = true;
            Kill(hostPid);
            cancelUntil = GetTickCount64() + kCancelWaitMs;
        }
    }
}

void CHostSession::ReadOutcome(const CHostRun& run, const CRunFiles& files, CRunOutcome* outcome)
{
    std::string status;
    bool reported = ReadFileTail(ProgramToWide(files.windows + ".status"), 64, &status);
    outcome->exitCode = reported ? atoi(status.c_str()) : -1;
    // timeout reports 124 when it ended the tool at the bound, 137 when it
    // had to kill it after that.
    if (outcome->exitCode == 124 || (outcome->exitCode == 137 && !outcome->cancelled))
        outcome->timedOut = true;
    ReadFileTail(ProgramToWide(files.windows + ".out"), run.wholeOutput ? static_cast<size_t>(-1) : kOutputKeep,
                 &outcome->output);
}
