#include "app/CompressMode.h"

#include "app/DialogJobCallback.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "job/JobRun.h"
#include "job/PerItemRun.h"
#include "settings/CompressJob.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(CPathCompletion* completion, bool* notVerified)
{
    if (notVerified != nullptr)
        *notVerified = false;
    CCompressDialog dialog(
        g_inputList,
        [notVerified](HWND owner, CCompressJob* job) {
            CDialogJobCallback ui(owner);
            int result = RunJob(job, g_inputList, ui);
            if (notVerified != nullptr)
                *notVerified = result == kJobReadBackFailed;
            return result;
        },
        completion);
    return dialog.Run();
}

int RunEachModeDialog(CPathCompletion* completion, bool* allMade)
{
    CPerItemRun run(g_inputList);
    *allMade = false;
    CCompressDialog dialog(
        g_inputList,
        [&run, allMade](HWND owner, CCompressJob* job) {
            CDialogJobCallback ui(owner);
            int result = run.Run(ui, *job);
            *allMade = run.AllMade();
            return result;
        },
        completion);
    dialog.SetArchiveCount(static_cast<int>(g_inputList.size()));
    return dialog.Run();
}
