#include "app/CompressMode.h"

#include "app/DialogJobCallback.h"
#include "job/InputList.h"
#include "job/JobResult.h"
#include "job/JobRun.h"
#include "job/PerItemRun.h"
#include "settings/CompressJob.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(const CInputList& inputs, CPathCompletion* completion, bool* notVerified)
{
    if (notVerified != nullptr)
        *notVerified = false;
    CCompressDialog dialog(
        inputs,
        [&inputs, notVerified](HWND owner, CCompressJob* job) {
            CDialogJobCallback ui(owner);
            int result = RunJob(job, inputs, ui);
            if (notVerified != nullptr)
                *notVerified = result == kJobReadBackFailed;
            return result;
        },
        completion);
    return dialog.Run();
}

int RunEachModeDialog(const CInputList& inputs, CPathCompletion* completion, bool* allMade)
{
    CPerItemRun run(inputs);
    *allMade = false;
    CCompressDialog dialog(
        inputs,
        [&run, allMade](HWND owner, CCompressJob* job) {
            CDialogJobCallback ui(owner);
            int result = run.Run(ui, *job);
            *allMade = run.AllMade();
            return result;
        },
        completion);
    dialog.SetArchiveCount(static_cast<int>(inputs.size()));
    return dialog.Run();
}
