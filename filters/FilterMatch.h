#pragma once

#include <string>

struct CCompressJob;

// Kinds passed to IsTargetFile.
enum
{
    kTargetFile = 1,
    kTargetFolder = 2,
};

// Compiles the job's chosen filter list for the walk. Returns 0 when a definition
// cannot be used; GetFilterCompileError() then holds the message for the user and
// the job must not run.
int CompileFilterList(CCompressJob* job);
const std::string& GetFilterCompileError();
// Non-zero when the entry name of that kind is to be taken.
int IsTargetFile(const char* name, int kind);
void ClearCompiledFilters();
