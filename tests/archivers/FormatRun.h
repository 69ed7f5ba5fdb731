#pragma once

#include "settings/CompressJob.h"
#include "tests/archivers/StandInFormats.h"

#include <string>
#include <utility>
#include <vector>

// One run of a registered builder: its list files as it named them, its
// result and output text, and the command calls its stand-in DLL recorded.
struct CFormatRun
{
    int result = 0;
    std::string output;
    std::vector<std::string> listFiles;  // in the order the command line names them
    std::vector<CStandInCall> calls;
};

// Builds the list of (path, base folder) pairs for job, runs builder id with a
// 4096-byte buffer and cleans up, as the job does.
CFormatRun RunFormat(const CStandInFormats& standIns, int id, CCompressJob* job,
                     const std::vector<std::pair<std::string, std::string>>& files);

// The DLL file and command entry behind a format id (3 to 10).
const char* DllOf(int id);
const char* EntryOf(int id);

// The temporary name "<folder>\<prefix>" + eight lower-case hexadecimal digits
// + extension that a line names; empty when it names none.
std::string FindTemporaryName(const std::string& line, const std::string& folder, const std::string& prefix,
                              const std::string& extension);
