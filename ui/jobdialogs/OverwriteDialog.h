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
    // One-archive-per-item runs only: the close box stops the remaining items,
    // and a flag says the answer holds for the rest.
    kOverwriteChoiceCancel = 4,
    kOverwriteChoiceForRest = 0x100,
};

// Asks what to do with an output file that exists (template 104).
class COverwriteDialog : public CDialogBase
{
public:
    // 1 overwrite, 2 add to the archive, 3 give another name (also the close box).
    int Run(HWND owner, CCompressJob* job);
    // The variant of one-archive-per-item runs (template 121): "作成しない" for
    // this item, the close box for all that remain, and the switch for the rest.
    int RunForItem(HWND owner, CCompressJob* job);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CCompressJob* m_job = nullptr;
    bool m_forItem = false;
    CControlWrapper m_forRest;
    CControlWrapper m_outputFile;
    CControlWrapper m_overwrite;
    CControlWrapper m_append;
    CControlWrapper m_rename;
};

int RunOverwriteDialog(HWND owner, CCompressJob* job);
int RunItemOverwriteDialog(HWND owner, CCompressJob* job);
