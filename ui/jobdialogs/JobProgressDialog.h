#pragma once

#include "job/LongStep.h"
#include "ui/framework/DialogBase.h"

// The progress of the job's long steps (template 124): the phase, the files
// and bytes so far, the folder being read, the time since the job began;
// Cancel, and Background, which lowers the process's priority for the rest
// of the job. Modeless, owned by the compress dialog; the job's thread
// serves it while it waits for a step.
class CJobProgressDialog : public CDialogBase
{
public:
    bool Create(HWND owner);
    void ShowFacts(const CJobProgressFacts& facts, DWORD elapsedMs);
    bool CancelPressed() const { return m_cancelled; }
    bool BackgroundPressed() const { return m_background; }

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    CControlWrapper m_phase;
    CControlWrapper m_count;
    CControlWrapper m_folder;
    CControlWrapper m_time;
    CControlWrapper m_backgroundButton;
    bool m_cancelled = false;
    bool m_background = false;
    std::string m_title;
};
