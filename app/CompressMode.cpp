#include "app/CompressMode.h"

#include "app/DialogJobCallback.h"
#include "job/InputList.h"
#include "job/JobRun.h"
#include "job/PerItemRun.h"
#include "settings/CompressJob.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(CPathCompletion* completion)
{
    CCompressDialog dialog(
        g_inputList,
        [](HWND owner, CCompressJob* job) {
            CDialogJobCallback ui(owner);
            return RunJob(job, g_inputList, ui);
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
