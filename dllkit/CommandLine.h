#pragma once

#include "dllkit/DllFailure.h"

#include <functional>
#include <string>
#include <vector>

// The add command every archiver DLL of ours takes (its README, Command line):
//   a [switches] <archive> <base folder>\ @<list file> [<base folder>\ @<list file>]...
// The switches are the DLL's own.

struct CListSource
{
    std::wstring baseFolder;  // with its trailing separator
    std::wstring listFile;
};

// The tokens of a line: spaces separate them, a double-quoted part keeps
// its spaces and "" inside quotes is one quote; backslashes are literal.
// False when a quote is left open.
bool SplitDllCommandLine(const std::wstring& line, std::vector<std::wstring>* tokens);

// The archive and sources of an add command; every switch (the token with
// its '-') goes to applySwitch, which is false for one the DLL does not know.
// On failure *failure says why and *subject names the token.
bool ParseAddCommand(const std::wstring& line, const std::function<bool(const std::wstring&)>& applySwitch,
                     std::wstring* archive, std::vector<CListSource>* sources, EDllFailure* failure,
                     std::wstring* subject);

// A switch's decimal number of at most digits digits, no larger than limit.
bool ParseSwitchNumber(const std::wstring& text, size_t digits, unsigned long long limit, unsigned long long* value);
