#pragma once

#include "ui/framework/DialogBase.h"

// Shows the archiver DLL's output text (template 120).
class CResultDialog : public CDialogBase
{
public:
    // 1 for "閉じる(&C)", 2 for the close box.
    int Run(HWND owner, const char* text);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();

private:
    const char* m_text = "";
    CControlWrapper m_textBox;
};

int RunResultDialog(HWND owner, const char* text);
