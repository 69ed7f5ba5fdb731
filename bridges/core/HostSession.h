#pragma once

#include "bridges/core/HostPlan.h"

#include <string>
#include <vector>

// Shown the tool's latest line while it runs; waits in between.
class CProgressSink
{
public:
    virtual void Show(const std::string& latestLine) = 0;
    // Waits about ms milliseconds (serving the window); false asks to cancel.
    virtual bool Wait(unsigned long ms) = 0;

protected:
    ~CProgressSink() {}
};

struct CRunOutcome
{
    int exitCode = -1;
    bool timedOut = false;
    bool cancelled = false;
    std::string output;   // the tool's output and errors, UTF-8
    std::string failure;  // Shift_JIS; set when the run could not take place
};

// Runs host tools for one command. Wine gives no handle of a host process,
// so each tool runs under /bin/sh with a fixed wrapper script: it bounds the
// tool with timeout, sends its output and errors to a file, records its
// process id and renames its exit status into place when done. Every value
// reaches the script as a positional argument of its own, never as script
// text. The session's files live in a private temporary folder that the
// destructor removes with everything in it.
class CHostSession
{
public:
    CHostSession();
    ~CHostSession();

    bool IsReady() const { return !m_hostFolder.empty(); }
    // false with outcome->failure set when the run could not be started.
    bool Run(const CHostRun& run, CProgressSink* progress, CRunOutcome* outcome);

private:
    CHostSession(const CHostSession&);
    CHostSession& operator=(const CHostSession&);

    bool WriteNames(const CHostRun& run, const std::string& path, std::string* failure);
    bool StartShell(const std::vector<std::string>& arguments);
    void Kill(const std::string& hostPidFile);
    void RemoveFolder();
    bool MakePrivate();
    void ForgetSecrets();

    std::string m_folder;      // Windows path, Shift_JIS
    std::string m_hostFolder;  // host path
    std::string m_stage;       // Windows path of the staging folder
    unsigned m_runs;
    bool m_private;                     // closed to other users
    std::vector<std::string> m_secrets;  // Windows paths of files that hold one
};

// Windows command-line quoting of one argument, as Wine splits it again for
// a host program.
std::wstring QuoteArgument(const std::wstring& argument);
