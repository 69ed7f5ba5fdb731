#pragma once

#include <string>
#include <vector>

// Writes the paths to a hand-off file of their own and starts the main program
// found in the registry with the compress-mode token and that file's path;
// every failure is reported to the user with a message box.
// token is the hand-off token the program is started with (common/HandOff.h).
void RunCompressCommand(const std::vector<std::wstring>& paths, const char* token);
