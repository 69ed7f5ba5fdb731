#include "app/CompressMode.h"

#include "app/CompressionJob.h"
#include "app/InputList.h"
#include "ui/jobdialogs/CompressDialog.h"

int RunCompressDialog(CPathCompletion* completion)
{
    CCompressDialog dialog(g_inputList, RunCompressJob, completion);
    return dialog.Run();
}
