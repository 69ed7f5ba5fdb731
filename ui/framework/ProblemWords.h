#pragma once

#include "filters/FileList.h"

#include <windows.h>

#include <string>

// Why a file cannot go into an archive, in the one wording the job's messages
// and the filter preview share; error is the platform's code of an unlistable
// folder, unused for the other reasons.
std::string ProblemText(EFileProblem reason, DWORD error);
