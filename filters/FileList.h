#pragma once

#include <windows.h>

class CArc;
struct CCompressJob;

// Hands every file of the input list, folders walked recursively, that the
// job's filter takes to the job's format builder. Returns 0 when at least one
// file was handed over, else the job result that ends the job (messages owned
// by owner).
int BuildFileList(CCompressJob* job, HWND owner);
// Hands the files below folder (depth first) with baseFolder to arc; returns
// how many were handed over.
int AddFolderFiles(CArc* arc, const char* folder, const char* baseFolder);
