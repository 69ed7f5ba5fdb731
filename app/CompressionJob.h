#pragma once

#include <windows.h>

struct CCompressJob;

// Runs one compression job to its end: checks the output name, settles an
// existing output file, asks for a password, builds the file list, runs the
// archiver and replaces or restores the old archive. owner (the compress
// dialog) owns every message and dialog. Returns a job result (JobResult.h).
int RunCompressJob(HWND owner, CCompressJob* job);
