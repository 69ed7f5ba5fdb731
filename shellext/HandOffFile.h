#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// The list file through which the selection reaches a newly started main
// program: one path per line, each followed by CR LF, Shift_JIS bytes.

// Every path followed by CR LF, in order.
std::string JoinHandOffLines(const std::vector<std::string>& paths);
// Creates a hand-off file under a name no other file has, in the temporary
// folder ("tessik_filelist" and eight hex digits, ".tmp"), and writes exactly
// these bytes into it; its path goes into buffer. 0 when that failed: no file
// is left, and buffer holds the name last tried (empty when there was none).
int WriteNewHandOffFile(const std::string& bytes, char* buffer, size_t size);
