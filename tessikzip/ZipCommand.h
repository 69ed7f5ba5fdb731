#pragma once

#include "tessikzip/ZipMessages.h"

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

struct CZipSource
{
    std::wstring baseFolder;  // with its trailing separator
    std::wstring listFile;
};

struct CZipCommand
{
    std::wstring archive;
    std::vector<CZipSource> sources;
    int level = 6;
    bool store = false;
    std::wstring password;  // empty: no encryption
    EZipEncryption encryption = EZipEncryption::kAes;
    EZipNames names = EZipNames::kUtf8;
    unsigned threads = 0;  // 0: one per core
    bool showProgress = true;
};

// The tokens of a line: spaces separate them, a double-quoted part keeps
// its spaces and "" inside quotes is one quote; backslashes are literal.
// False when a quote is left open.
bool SplitZipCommandLine(const std::wstring& line, std::vector<std::wstring>* tokens);
// The command of a line; on failure *failure says why and *subject names
// the token.
bool ParseZipCommand(const std::wstring& line, CZipCommand* command, EZipFailure* failure, std::wstring* subject);
