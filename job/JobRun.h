#pragma once

#include <string>
#include <vector>

struct CCompressJob;
class IJobCallback;

// Runs one compression job on inputs (the files and folders to pack, by their
// real names) to its end: checks the output name, settles an existing output
// file, asks for a password, builds the file list, runs the archiver and
// replaces or restores the old archive. Every question and fact goes through
// callback. Returns a job result (JobResult.h).
int RunJob(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback);

// The job's file list alone: one walk of inputs through the job's filter,
// the choice of the names' text (ANSI, or UTF-8 where a name has no ANSI form
// and the format's DLL can take it), and the builder's list. 0 when at least
// one file was listed, else the job result that ends the job (after its fact
// was reported). The builder is left with its list: the caller runs or cleans it up.
int BuildFileList(CCompressJob* job, const std::vector<std::wstring>& inputs, IJobCallback& callback);
