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

int COverwriteDialog::RunForItem(HWND owner, CCompressJob* job)
{
    m_job = job;
    m_forItem = true;
    return static_cast<int>(RunModal(IDD_OVERWRITE_EACH, GetResourceModule(), owner,
                                     DialogKindProc<COverwriteDialog>, reinterpret_cast<LPARAM>(job)));
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

    if (m_forItem)
    {
        m_forRest.Attach(m_hwnd, IDC_OVERWRITE_REST);
        m_forRest.AddTooltip(IDS_TIP_OVERWRITE_REST, true, kTooltipDisplayMs);
    }

    m_outputFile.SetText(m_job->OutputFile);
    CArc* format = FindFormat(m_job->FormatId());
    m_append.Enable(format != nullptr && format->SupportsAppend());
    return TRUE;
}

INT_PTR COverwriteDialog::OnCommand(int code, int id, HWND control)
{
    int choice;
    switch (id)
    {
    case IDC_OVERWRITE:
        choice = kOverwriteChoiceOverwrite;
        break;
    case IDC_APPEND:
        choice = kOverwriteChoiceAppend;
        break;
    case IDC_RENAME:
        choice = kOverwriteChoiceRename;
        break;
    default:
        return FALSE;
    }
    if (m_forItem && IsDlgButtonChecked(m_hwnd, IDC_OVERWRITE_REST) == BST_CHECKED)
        choice |= kOverwriteChoiceForRest;
    EndDialog(m_hwnd, choice);
    return TRUE;
}

INT_PTR COverwriteDialog::OnClose()
{
    EndDialog(m_hwnd, m_forItem ? kOverwriteChoiceCancel : kOverwriteChoiceRename);
    return TRUE;
}

int RunOverwriteDialog(HWND owner, CCompressJob* job)
{
    COverwriteDialog dialog;
    return dialog.Run(owner, job);
}

int RunItemOverwriteDialog(HWND owner, CCompressJob* job)
{
    COverwriteDialog dialog;
    return dialog.RunForItem(owner, job);
}
