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
// these bytes into it; its path goes into *path. The folder is taken by its
// wide name, so a user's temporary folder beyond the ANSI code page works too.
// false when that failed: no file is left, and *path holds the name last
// tried (empty when there was none).
bool WriteNewHandOffFile(const std::string& bytes, std::wstring* path);
