#pragma once

#include "dllkit/CommandLine.h"
#include "dllkit/DllFailure.h"

#include <stdint.h>

#include <string>
#include <vector>

// One command of Tessik7z's command line (README, Command line), parsed.
struct CSevenZipCommand
{
    std::wstring archive;
    std::vector<CListSource> sources;
    int level = 5;  // 0 stores (Copy)
    bool solid = true;
    uint64_t solidBlockSize = 0;  // bytes of one solid block, 0: the level's default
    uint64_t solidBlockFiles = 0;  // files of one solid block, 0: no limit
    unsigned threads = 0;  // 0: one per core
    std::wstring password;  // empty: no encryption
    bool encryptHeader = false;
    bool showProgress = true;
};

// The command of a line; on failure *failure says why and *subject names
// the token.
bool ParseSevenZipCommand(const std::wstring& line, CSevenZipCommand* command, EDllFailure* failure,
                          std::wstring* subject);
