#pragma once

#include "app/DialogJobCallback.h"
#include "job/InputList.h"
#include "job/JobRun.h"

#include <windows.h>

// A job on the input list with the dialogs of compress mode, owned by owner,
// for tests that drive what the user sees.
inline int RunDialogJob(HWND owner, CCompressJob* job)
{
    CDialogJobCallback ui(owner);
    return RunJob(job, g_inputList, ui);
}

inline int BuildDialogFileList(HWND owner, CCompressJob* job)
{
    CDialogJobCallback ui(owner);
    return BuildFileList(job, g_inputList, ui);
}
