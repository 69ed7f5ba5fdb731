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
};

// Compiles the job's filter list and hands every file of inputs, folders walked
// recursively (depth first), that the filter takes to sink. Returns a result above.
int CollectFiles(CCompressJob* job, const std::vector<std::string>& inputs, const CFileSink& sink);
// Hands the files below folder (depth first) with baseFolder to sink; returns
// how many were handed over.
int AddFolderFiles(const CFileSink& sink, const char* folder, const char* baseFolder);
