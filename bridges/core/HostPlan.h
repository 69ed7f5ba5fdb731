#pragma once

#include "common/ArchiverApi.h"

#include <string>
#include <vector>

// What a bridge makes of one command line: the runs of host tools that build
// the archive, or a refusal with the text the result dialog shows. Plain data,
// so the translations are tested without starting anything.

// One argument of a tool. Values stay Shift_JIS here; the session converts.
struct CHostArg
{
    enum Kind
    {
        kText,      // prefix + value as UTF-8
        kPath,      // prefix + the host path of the Windows path value
        kTool,      // the host path of the tool named by value
        kNameList,  // prefix + the host path of the run's name list (UTF-8)
        kBytes,     // value's bytes unchanged (decoded by the wrapper script)
    };
    Kind kind;
    std::string prefix;
    std::string value;
};

// One file of a run: its base folder and its path relative to it (Shift_JIS,
// backslashes).
struct CHostName
{
    std::string baseFolder;
    std::string relative;
};

struct CHostRun
{
    std::string tool;  // "7zz", "zip", "gcab", "jlha", "xargs", "sh"
    std::vector<CHostArg> args;
    // The tool runs in this folder; empty: in the session's staging folder.
    std::string workFolder;
    std::vector<CHostName> names;
    bool namesOnStdin = false;
    // The staging run: names are every file of several base folders, and the
    // name list holds the lines of kLinkScript that build them, in the
    // staging folder, as the archive's tree.
    bool linkLines = false;
    // A name that begins with "-" is listed as "./name": zip's -@ reads the
    // name "-" as its standard input, and drops the "./".
    bool dotSlashDash = false;
    // Shift_JIS; handed over on the tool's standard input from a file only
    // the user can read, never on a command line, which every local user
    // can read. Not with namesOnStdin.
    std::string secret;
    // The whole output is kept (a listing), not only its end.
    bool wholeOutput = false;
};

struct CHostPlan
{
    int refusal = kArchiverResultOk;
    std::string message;  // Shift_JIS; set with a refusal
    std::string archive;  // Windows path
    bool showProgress = true;
    std::vector<CHostRun> runs;
    // After the runs the archive's names are read back: it must hold the old
    // entries that no listed name replaces and every listed name once.
    enum Check
    {
        kCheckNone,
        kCheckZip,
        kCheckZipMarkUtf8,  // and the new entries not ASCII get the UTF-8 flag
        kCheckSevenZip,     // read back with "7zz l"
        kCheckCab,
        kCheckLha,
    };
    Check check = kCheckNone;
    std::vector<std::string> expectedNames;  // Shift_JIS, "\" separated
    std::string password;  // Shift_JIS; for reading back a 7z whose names are encrypted
};

// The translations of the four bridges: a command line as the program's
// format builders write it, with the list files it names.
void TranslateSevenZip(const std::string& line, CHostPlan* plan);
void TranslateZip32j(const std::string& line, CHostPlan* plan);
void TranslateCab(const std::string& line, CHostPlan* plan);
void TranslateUnlha(const std::string& line, CHostPlan* plan);

// The fixed script of the staging run: "D<TAB>folder" makes a folder,
// "L<TAB>target<TAB>name" a link.
extern const char kLinkScript[];
