#pragma once

#include <string>
#include <vector>

// Argument that makes the main program read its input list from the hand-off file.
const char kHandOffArgument[] = "::PROCESSCOMMUNICATION_COMPRESSMODE";

// Writes the paths to the hand-off file and starts the main program found in the
// registry; every failure is reported to the user with a message box.
void RunCompressCommand(const std::vector<std::string>& paths);
