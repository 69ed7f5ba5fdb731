#pragma once

#include "bridges/core/HostPlan.h"
#include "dllkit/ProgressSink.h"

#include <string>
#include <vector>

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

    // The files of one run share a stem in the session folder: ".names",
    // ".secret", and the wrapper's ".status", ".out" and ".pid".
    struct CRunFiles
    {
        std::string windows;  // Windows path of the stem, program text
        std::string host;     // host path of the stem
    };
    // What the wrapper script is given besides the run's files.
    struct CLaunch
    {
        std::vector<std::string> arguments;  // the tool and its arguments, UTF-8
        size_t decode = 0;                   // 1-based position of the kBytes argument, 0 for none
        std::string hostWork;
        std::string input;  // host path of the standard input, empty for none
        unsigned bound = 0;
    };

    // The steps of Run: resolve the run's files and arguments, launch the
    // wrapper, wait for its status and read what it left.
    bool WriteNames(const CHostRun& run, const std::string& path, std::string* failure);
    bool WriteSecret(const CHostRun& run, const CRunFiles& files, std::string* hostSecret, std::string* failure);
    bool ResolveArguments(const CHostRun& run, const CRunFiles& files, CLaunch* launch, std::string* failure);
    bool Launch(const CRunFiles& files, const CLaunch& launch);
    void Wait(const CRunFiles& files, unsigned bound, CProgressSink* progress, CRunOutcome* outcome);
    void ReadOutcome(const CHostRun& run, const CRunFiles& files, CRunOutcome* outcome);
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
