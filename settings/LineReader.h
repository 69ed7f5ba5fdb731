#pragma once

#include "common/TextFile.h"

#include <string>

// Reads one whole line of any length, with its line feed when it has one, so a
// line longer than a read buffer never comes back in pieces that could pass for
// lines of their own. False at the end of the file.
bool ReadWholeLine(CTextFile& file, std::string* line);

// Reads one line as the settings readers look at it: without its line feed and
// cut to at most maxLength characters.
bool ReadTrimmedLine(CTextFile& file, std::string* line, size_t maxLength);
