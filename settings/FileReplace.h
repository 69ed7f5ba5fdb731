#pragma once

#include <string>

// A settings file is rewritten by writing its successor beside it under a fresh
// name and then putting that in its place in one rename, so an interrupted
// write never leaves a half-written or missing settings file behind.

// Creates an empty file with a fresh name in the folder of path.
bool CreateSiblingTempFile(const char* path, std::string* tempPath);

// Replaces path (or creates it) with the complete file tempPath. On failure
// path is left as it was and tempPath is removed. A read-only path is refused,
// as the profile functions would refuse to write into it; a path that another
// program holds for a moment is tried again for a bounded time.
bool ReplaceWithTempFile(const char* tempPath, const char* path);
