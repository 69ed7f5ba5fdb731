#include "ui/jobdialogs/OverwriteDialog.h"

#include "archivers/formats/FormatRegistry.h"
#include "resources/resource.h"
#include "settings/CompressJob.h"

int COverwriteDialog::Run(HWND owner, CCompressJob* job)
{
    m_job = job;
    return static_cast<int>(RunModal(IDD_OVERWRITE, GetResourceModule(), owner, DialogKindProc<COverwriteDialog>,
                                     reinterpret_cast<LPARAM>(job)));
}

INT_PTR COverwriteDialog::OnInit()
{
    m_outputFile.Attach(m_hwnd, IDC_OVERWRITE_FILE);
    m_overwrite.Attach(m_hwnd, IDC_OVERWRITE);
    m_append.Attach(m_hwnd, IDC_APPEND);
    m_rename.Attach(m_hwnd, IDC_RENAME);
    m_outputFile.AddTooltip(IDS_TIP_OUTPUT_FILE, true, kTooltipDisplayMs);
    m_overwrite.AddTooltip(IDS_TIP_OVERWRITE, true, kTooltipDisplayMs);
    m_append.AddTooltip(IDS_TIP_APPEND, true, kTooltipDisplayMs);
    m_rename.AddTooltip(IDS_TIP_RENAME, true, kTooltipDisplayMs);

    SetWindowTextA(m_outputFile.GetHwnd(), m_job->OutputFile.c_str());
    CArc* format = FindFormat(m_job->FormatId());
    EnableWindow(m_append.GetHwnd(), format != nullptr && format->SupportsAppend());
    return TRUE;
}

INT_PTR COverwriteDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDC_OVERWRITE:
        EndDialog(m_hwnd, kOverwriteChoiceOverwrite);
        return TRUE;
    case IDC_APPEND:
        EndDialog(m_hwnd, kOverwriteChoiceAppend);
        return TRUE;
    case IDC_RENAME:
        EndDialog(m_hwnd, kOverwriteChoiceRename);
        return TRUE;
    }
    return FALSE;
}

INT_PTR COverwriteDialog::OnClose()
{
    EndDialog(m_hwnd, kOverwriteChoiceRename);
    return TRUE;
}

int RunOverwriteDialog(HWND owner, CCompressJob* job)
{
    COverwriteDialog dialog;
    return dialog.Run(owner, job);
}
