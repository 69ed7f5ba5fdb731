#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// The list file through which the selection reaches a newly started main
// program: one path per line, each followed by CR LF, in Shift_JIS, or in
// UTF-8 after the mark of common/HandOff.h when a name has no Shift_JIS form.

// Every path followed by CR LF, in order.
std::string JoinHandOffLines(const std::vector<std::string>& paths);
// The hand-off file's bytes for these paths: exactly the Shift_JIS lines of
// earlier versions when every path has an exact Shift_JIS form, so that an
// older program still reads them; otherwise the UTF-8 form.
std::string HandOffFileBytes(const std::vector<std::wstring>& paths);
// Creates a hand-off file under a name no other file has, in the temporary
// folder ("tessik_filelist" and eight hex digits, ".tmp"), and writes exactly
// these bytes into it; its path goes into buffer. 0 when that failed: no file
// is left, and buffer holds the name last tried (empty when there was none).
int WriteNewHandOffFile(const std::string& bytes, char* buffer, size_t size);
