#pragma once

#include <string>
#include <vector>

// One list file as the stand-in DLL found it during a call.
struct CStandInList
{
    std::string path;
    std::string bytes;
    bool missing = false;
};

// One call recorded by a stand-in archiver DLL.
struct CStandInCall
{
    std::string entry;
    bool hasWindow = false;
    long result = 0;
    std::string line;
    std::vector<CStandInList> lists;
};

// Reads "<dll>.journal" in folder; an absent journal gives no calls.
std::vector<CStandInCall> ReadStandInJournal(const std::string& folder, const std::string& dllName);
// Only the calls of one entry point (e.g. "SevenZip").
std::vector<CStandInCall> CallsOf(const std::vector<CStandInCall>& calls, const std::string& entry);

// Copies stand-ins of bin\standins\<variant> into folder.
void InstallStandIns(const std::string& folder, const std::vector<std::string>& fileNames,
                     const std::string& variant = "default");
// Writes "<dll>.script" in folder (see tools/archiver-standins/README.md).
void WriteStandInScript(const std::string& folder, const std::string& dllName, const std::string& script);
// Removes the journal and call counter, so the next journal holds only new calls.
void ResetStandInJournal(const std::string& folder, const std::string& dllName);
// The CR LF lines of list files' bytes, each with its line end, sorted.
std::vector<std::string> SortedLines(const std::string& bytes);
