#pragma once

#include "ui/framework/DialogBase.h"

struct CCompressJob;

// Results of the overwrite dialog (the dialog's own codes; the job turns them
// into an EOverwriteAnswer).
enum
{
    kOverwriteChoiceOverwrite = 1,
    kOverwriteChoiceAppend = 2,
    kOverwriteChoiceRename = 3,
};

// Asks what to do with an output file that exists (template 104).
class COverwriteDialog : public CDialogBase
{
public:
    // 1 overwrite, 2 add to the archive, 3 give another name (also the close box).
    int Run(HWND owner, CCompressJob* job);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CCompressJob* m_job = nullptr;
    CControlWrapper m_outputFile;
    CControlWrapper m_overwrite;
    CControlWrapper m_append;
    CControlWrapper m_rename;
};

int RunOverwriteDialog(HWND owner, CCompressJob* job);
