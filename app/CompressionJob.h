#pragma once

#include <windows.h>

struct CCompressJob;

// Runs one compression job to its end: checks the output name, settles an
// existing output file, asks for a password, builds the file list, runs the
// archiver and replaces or restores the old archive. owner (the compress
// dialog) owns every message and dialog. Returns a job result (JobResult.h).
int RunCompressJob(HWND owner, CCompressJob* job);

// The job's file list: begins the builder's list, hands it every file of the
// input list that the job's filter takes, and ends it. 0 when at least one file
// was listed, else the job result that ends the job (messages owned by owner).
int BuildFileList(CCompressJob* job, HWND owner);
