#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// The list file through which the selection reaches a newly started main
// program: one path per line, each followed by CR LF, Shift_JIS bytes.

// Every path followed by CR LF, in order.
std::string JoinHandOffLines(const std::vector<std::string>& paths);
// "<temporary folder>\tessik_filelist.tmp" (the folder keeps its own trailing
// backslash, as the reader forms the name the same way); 0 when it does not fit.
int GetHandOffFilePath(char* buffer, size_t size);
// Creates or replaces the file with exactly these bytes; 0 when that failed
// (a partly written file is removed).
int WriteHandOffFile(const char* path, const std::string& bytes);
