#pragma once

#include <functional>
#include <string>
#include <vector>

struct CCompressJob;

// Takes one accepted file with its base folder (the entry's parent folder);
// false when the file could not be listed, which stops the walk, because the
// archive would miss it.
typedef std::function<bool(const char* path, const char* baseFolder)> CFileSink;

// Results of CollectFiles.
enum
{
    kFilesCollected = 0,       // at least one file was handed over
    kFilesFilterUnusable = 1,  // the job's filter list cannot be compiled: see GetFilterCompileError()
    kFilesSinkRefused = 2,     // the sink could not take a file
    kFilesNone = 3,            // nothing to pack
    kFilesMatchFailed = 4,     // a name could not be judged: see GetFilterMatchError()
    kFilesUnnamable = 5,       // names without an ANSI form were found (see CollectFiles)
};

// Compiles the job's filter list and hands every file of inputs, folders walked
// recursively (depth first), that the filter takes to sink. Returns a result above.
// unnamable (may be null) receives the full paths, as they really are, of the
// files the filter would take and of the folders whose names the ANSI code page
// cannot hold: none of them is handed over, and the job must not run.
int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink,
                 std::vector<std::wstring>* unnamable = nullptr);
// Hands the files below folder (depth first) with baseFolder to sink; returns
// how many were handed over.
int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder);
