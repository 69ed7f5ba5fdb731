// The progress window of the job's long steps.
#include "ui/jobdialogs/JobProgressDialog.h"

#include "common/TextFormat.h"
#include "resources/resource.h"

#include <stdio.h>

namespace {

const char* PhaseText(EJobPhase phase)
{
    switch (phase)
    {
    case EJobPhase::kWalking:
        return "ファイルを調べています";
    case EJobPhase::kListing:
        return "リストを作成しています";
    case EJobPhase::kReadingBack:
        return "書庫を検査しています";
    }
    return "";
}

std::string SizeText(ULONGLONG bytes)
{
    char text[64];
    if (bytes < 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f KB", bytes / 1024.0);
    else if (bytes < 1024ULL * 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f MB", bytes / (1024.0 * 1024));
    else
        snprintf(text, sizeof(text), "%.2f GB", bytes / (1024.0 * 1024 * 1024));
    return text;
}

std::string FileName(const std::string& path)
{
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool CJobProgressDialog::Create(HWND owner)
{
    m_cancelled = false;
    m_background = false;
    m_title.clear();
    return CreateModeless(IDD_JOB_PROGRESS, GetResourceModule(), owner, DialogKindProc<CJobProgressDialog>) != NULL;
}

INT_PTR CJobProgressDialog::OnInit()
{
    m_phase.Attach(m_hwnd, IDC_PROGRESS_PHASE);
    m_count.Attach(m_hwnd, IDC_PROGRESS_COUNT);
    m_folder.Attach(m_hwnd, IDC_PROGRESS_FOLDER);
    m_time.Attach(m_hwnd, IDC_PROGRESS_TIME);
    m_backgroundButton.Attach(m_hwnd, IDC_PROGRESS_BACKGROUND);
    SetIcons(IDI_PROGRAM);
    return TRUE;
}

void CJobProgressDialog::ShowFacts(const CJobProgressFacts& facts, DWORD elapsedMs)
{
    std::string title = "Tessik - " + FileName(facts.archive);
    if (title != m_title)
    {
        m_title = title;
        SetWindowTextA(m_hwnd, title.c_str());
    }
    m_phase.SetText(PhaseText(facts.phase));
    std::string count = GroupedDigits(facts.files) + " 個のファイル";
    if (facts.phase == EJobPhase::kWalking)
        count += " (" + SizeText(facts.bytes) + ")";
    m_count.SetText(count);
    // The folder may lie beyond the ANSI code page.
    SetWindowTextW(m_folder.GetHwnd(), facts.folder.c_str());
    char time[64];
    DWORD seconds = elapsedMs / 1000;
    snprintf(time, sizeof(time), "経過時間 %lu:%02lu", static_cast<unsigned long>(seconds / 60),
             static_cast<unsigned long>(seconds % 60));
    m_time.SetText(time);
}

INT_PTR CJobProgressDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDCANCEL:
        m_cancelled = true;
        EnableWindow(GetDlgItem(m_hwnd, IDCANCEL), FALSE);
        return TRUE;
    case IDC_PROGRESS_BACKGROUND:
        m_background = true;
        m_backgroundButton.Enable(false);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CJobProgressDialog::OnClose()
{
    // The close box is Cancel.
    return OnCommand(BN_CLICKED, IDCANCEL, NULL);
}
