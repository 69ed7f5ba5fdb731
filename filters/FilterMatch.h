#pragma once

#include <stddef.h>

#include <string>

struct CCompressJob;
struct CFilterDef;

// Kinds passed to IsTargetFile.
enum
{
    kTargetFile = 1,
    kTargetFolder = 2,
};

// Compiles the job's chosen filter list for the walk, once per job. Returns 1 when
// the walk may go on, also when the job's filter switch is off or no list is
// chosen (every entry is then taken). Returns 0 when a definition cannot be used
// (a regular expression that does not compile, an empty pattern):
// GetFilterCompileError() then holds the message for the user, naming the list
// and the definition, and the job must not run.
int CompileFilterList(CCompressJob* job);
const std::string& GetFilterCompileError();

// 1 when the entry (a bare name, no folder) of that kind is to be taken, else 0.
// Folders are always taken; files are judged by their name or extension.
int IsTargetFile(const char* name, int kind);

// The same decision for a name the caller already holds in UTF-16 (the
// conversion of name, wideLength characters); name is what a match error names.
int IsTargetWideName(const char* name, const wchar_t* wideName, size_t wideLength, int kind);

// Which definition made a decision, for a caller that shows why a file is
// left out (the preview). The decision itself is the one above.
struct CFilterVerdict
{
    // Index in the list's Definitions of the definition that matched, or of the
    // one the library gave up on; -1 when none matched or no list applies.
    int Definition = -1;
    // The library gave up on the name with Definition: the file is left out
    // and GetFilterMatchError() tells the job to stop.
    bool Undecided = false;
};

// IsTargetFile and IsTargetWideName, also filling verdict.
int JudgeFile(const char* name, int kind, CFilterVerdict* verdict);
int JudgeWideName(const char* name, const wchar_t* wideName, size_t wideLength, int kind, CFilterVerdict* verdict);

// Empties the compiled set after the walk. Returns 1.
int ClearCompiledFilters();

// Non-empty when a match could not be decided during the walk (the regular
// expression library gave up on a name): the job must then not run, since the
// file was left out of the list. Cleared by CompileFilterList.
const std::string& GetFilterMatchError();

// The regular expression of one definition, as ANSI text: the pattern itself for
// a regular expression, else its wildcard translation, with both cases of every
// letter unless AlphabetBS is set. Returns 1.
int BuildFilterExpression(const CFilterDef& definition, std::string* expression);
