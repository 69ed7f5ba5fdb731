#pragma once

#include "ui/framework/DialogBase.h"

struct CCompressJob;

// Takes the job's password twice (template 105).
class CPasswordDialog : public CDialogBase
{
public:
    // 1 when a password was set into the job, 2 when cancelled.
    int Run(HWND owner, CCompressJob* job);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    void OnSet();

    CCompressJob* m_job = nullptr;
    CControlWrapper m_password;
    CControlWrapper m_passwordAgain;
};

int RunPasswordDialog(HWND owner, CCompressJob* job);
