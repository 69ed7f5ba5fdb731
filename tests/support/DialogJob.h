#pragma once

#include "app/DialogJobCallback.h"
#include "job/InputList.h"
#include "job/JobRun.h"

#include <windows.h>

// The files and folders the next dialog job of a test is given, as the
// program is given them on its command line.
inline CInputList g_testInputs;

// A job on g_testInputs with the dialogs of compress mode, owned by owner,
// for tests that drive what the user sees.
inline int RunDialogJob(HWND owner, CCompressJob* job)
{
    CDialogJobCallback ui(owner);
    return RunJob(job, g_testInputs, ui);
}

inline int BuildDialogFileList(HWND owner, CCompressJob* job)
{
    CDialogJobCallback ui(owner);
    return BuildFileList(job, g_testInputs, ui);
}
