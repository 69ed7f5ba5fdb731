#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CCompressJob;
class IJobCallback;

// The message of an output name that names no file.
extern const char kBadNameMessage[];

// Runs one compression job to its end: checks the output name, settles an
// existing output file, asks for a password, builds the file list, runs the
// archiver and replaces or restores the old archive. Every question and
// message goes through callback. Returns a job result (JobResult.h).
int RunCompressJob(IJobCallback& callback, CCompressJob* job);
// The same on other inputs than the input list (one item of several).
int RunCompressJob(IJobCallback& callback, CCompressJob* job, const std::vector<std::string>& inputs);
// The same on inputs named by their wide names, which may lie beyond the ANSI
// code page.
int RunCompressJob(IJobCallback& callback, CCompressJob* job, const std::vector<std::wstring>& inputs);
// The same with the job's dialogs, owned by owner (the compress dialog).
int RunCompressJob(HWND owner, CCompressJob* job);

// The job's file list: begins the builder's list, hands it every file of the
// input list that the job's filter takes, and ends it. 0 when at least one file
// was listed, else the job result that ends the job (after its message). When
// names beyond the ANSI code page are found and the format's DLL has a UTF-8
// mode, the list is made again in UTF-8 and the builder is left set for it.
int BuildFileList(CCompressJob* job, IJobCallback& callback);
int BuildFileList(CCompressJob* job, IJobCallback& callback, const std::vector<std::string>& inputs);
int BuildFileList(CCompressJob* job, IJobCallback& callback, const std::vector<std::wstring>& inputs);
int BuildFileList(CCompressJob* job, HWND owner);
