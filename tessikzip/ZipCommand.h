#pragma once

#include "dllkit/CommandLine.h"
#include "dllkit/DllFailure.h"

#include <string>
#include <vector>

// One command of TessikZip's command line (README, Command line), parsed.
enum class EZipEncryption
{
    kAes,
    kZipCrypto,
};

enum class EZipNames
{
    kUtf8,
    kShiftJis,
};

struct CZipCommand
{
    std::wstring archive;
    std::vector<CListSource> sources;
    int level = 6;
    bool store = false;
    std::wstring password;  // empty: no encryption
    EZipEncryption encryption = EZipEncryption::kAes;
    EZipNames names = EZipNames::kUtf8;
    unsigned threads = 0;  // 0: one per core
    bool showProgress = true;
};

// The command of a line; on failure *failure says why and *subject names
// the token.
bool ParseZipCommand(const std::wstring& line, CZipCommand* command, EDllFailure* failure, std::wstring* subject);
