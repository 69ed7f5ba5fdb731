#include "app/CompressMode.h"

#include "app/CompressionJob.h"
#include "app/EachMode.h"
#include "app/InputList.h"
#include "settings/CompressJob.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(CPathCompletion* completion)
{
    CCompressDialog dialog(
        g_inputList, [](HWND owner, CCompressJob* job) { return RunCompressJob(owner, job); }, completion);
    return dialog.Run();
}

int RunEachModeDialog(CPathCompletion* completion, bool* allMade)
{
    CEachModeRun run(g_inputList);
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
