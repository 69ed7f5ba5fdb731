#include "app/CompressMode.h"

#include "app/CompressionJob.h"
#include "app/InputList.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(CPathCompletion* completion)
{
    CCompressDialog dialog(
        g_inputList, [](HWND owner, CCompressJob* job) { return RunCompressJob(owner, job); }, completion);
    return dialog.Run();
}
