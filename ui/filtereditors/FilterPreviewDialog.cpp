#include "ui/filtereditors/FilterPreviewDialog.h"

#include "common/TextFormat.h"
#include "filters/FileList.h"
#include "filters/FilterMatch.h"
#include "resources/resource.h"
#include "ui/filtereditors/FilterListEditor.h"
#include "ui/filtereditors/FilterListViews.h"
#include "ui/framework/Messages.h"
#include "ui/framework/ProblemWords.h"

#include <algorithm>

namespace {

// Posted by the walk's thread: wParam the rows so far; then once at its end,
// wParam the result of the walk.
const UINT kProgressMessage = WM_APP + 1;
const UINT kWalkEndedMessage = WM_APP + 2;
// The walk's result when it could not finish for want of memory.
const int kWalkBroken = -1;
// Often enough for the count to move visibly, rare enough to cost nothing.
const size_t kProgressStep = 1000;

enum
{
    kColumnPath,
    kColumnState,
    kColumnSize,
    kColumnList,
    kColumnType,
    kColumnPattern,
    kColumnComment,
    kColumnCount
};
const UINT kColumnTitles[kColumnCount] = {IDS_PREVIEW_COLUMN_PATH, IDS_PREVIEW_COLUMN_STATE, IDS_PREVIEW_COLUMN_SIZE,
                                          IDS_PREVIEW_COLUMN_LIST, IDS_COLUMN_DEF_TYPE,      IDS_COLUMN_DEF_PATTERN,
                                          IDS_COLUMN_DEF_COMMENT};
// At 96 DPI. The pattern's column also holds a .gitignore rule as git names
// it ("sub/.gitignore:3:build/"), longer than most definitions.
const int kColumnWidths[kColumnCount] = {200, 56, 64, 104, 72, 170, 150};

// How each control follows a change of the client area's size.
struct CAnchor
{
    int id;
    bool stretchWidth;
    bool stretchHeight;
    bool followRight;
    bool followBottom;
};
const CAnchor kAnchors[] = {
    {IDC_PREVIEW_PROGRESS, true, false, false, false}, {IDC_PREVIEW_ROWS, true, true, false, false},
    {IDC_PREVIEW_TOTALS, true, false, false, true},    {IDC_PREVIEW_OUT_ONLY, false, false, false, true},
    {IDC_PREVIEW_STOP, false, false, true, true},      {IDCANCEL, false, false, true, true},
};

std::string FormatResource(UINT id, const std::string& argument)
{
    return FormatResourceString(id, argument.c_str());
}

UINT StateText(int state)
{
    switch (state)
    {
    case kPreviewIn:
        return IDS_PREVIEW_IN;
    case kPreviewOut:
        return IDS_PREVIEW_OUT;
    }
    return IDS_PREVIEW_ERROR;
}

// Rows of the walk's report name entries the walk never reached: no size.
bool HasSize(const CPreviewRow& row)
{
    return row.state != kPreviewError || row.problem == kProblemUndecided;
}

}  // namespace

CFilterPreviewDialog::CFilterPreviewDialog(const CCompressJob& job, const std::vector<std::wstring>& inputs)
    : m_job(job), m_inputs(inputs), m_progressPosted(false)
{
}

CFilterPreviewDialog::~CFilterPreviewDialog()
{
    // Run never returns while the walk goes on; this is for a dialog that
    // could not be shown after its walk began.
    StopWalk();
}

INT_PTR CFilterPreviewDialog::Run(HWND owner)
{
    return RunModal(IDD_FILTER_PREVIEW, GetResourceModule(), owner, DialogKindProc<CFilterPreviewDialog>);
}

INT_PTR CFilterPreviewDialog::OnInit()
{
    SetIcons(IDI_PROGRAM);
    m_progress.Attach(m_hwnd, IDC_PREVIEW_PROGRESS);
    m_totals.Attach(m_hwnd, IDC_PREVIEW_TOTALS);
    m_rows.Attach(m_hwnd, IDC_PREVIEW_ROWS);
    m_rows.AddTooltip(IDS_TIP_PREVIEW_ROWS, true, kTooltipDisplayMs);
    m_rows.SetFont(GothicFont(GetDpi()), true);
    SetUpFilterListView(&m_rows, kColumnTitles, kColumnWidths, kColumnCount, GetDpi());
    m_outOnly.Attach(m_hwnd, IDC_PREVIEW_OUT_ONLY);
    m_outOnly.AddTooltip(IDS_TIP_PREVIEW_OUT_ONLY, true, kTooltipDisplayMs);
    m_stop.Attach(m_hwnd, IDC_PREVIEW_STOP);
    m_stop.AddTooltip(IDS_TIP_PREVIEW_STOP, true, kTooltipDisplayMs);
    m_close.Attach(m_hwnd, IDCANCEL);
    m_close.AddTooltip(IDS_TIP_PREVIEW_CLOSE, true, kTooltipDisplayMs);

    RECT client;
    GetClientRect(m_hwnd, &client);
    m_templateClient = {client.right, client.bottom};
    m_templateRects.clear();
    for (const CAnchor& anchor : kAnchors)
    {
        RECT place = {};
        HWND control = GetDlgItem(m_hwnd, anchor.id);
        GetWindowRect(control, &place);
        MapWindowPoints(NULL, m_hwnd, reinterpret_cast<POINT*>(&place), 2);
        m_templateRects.push_back(place);
    }
    RECT frame;
    GetWindowRect(m_hwnd, &frame);
    m_minFrame = {frame.right - frame.left, frame.bottom - frame.top};

    StartWalk();
    return TRUE;
}

void CFilterPreviewDialog::StartWalk()
{
    m_walking = true;
    m_progressPosted = false;
    m_progress.SetText(FormatResource(IDS_PREVIEW_WALKING, "0"));
    m_stop.Enable(true);
    m_thread.Reset(CreateThread(NULL, 0, WalkThread, this, 0, NULL));
    if (!m_thread.IsValid())
        OnWalkEnded(kWalkBroken);
}

DWORD WINAPI CFilterPreviewDialog::WalkThread(void* parameter)
{
    CFilterPreviewDialog* dialog = static_cast<CFilterPreviewDialog*>(parameter);
    int result = kWalkBroken;
    // Nothing may leave the thread's function; a walk that runs out of memory
    // ends as a failed preview.
    try
    {
        result = dialog->m_preview.Walk(
            &dialog->m_job, dialog->m_inputs,
            [dialog](size_t rows) {
                if (!dialog->m_progressPosted.exchange(true))
                    PostMessageA(dialog->m_hwnd, kProgressMessage, static_cast<WPARAM>(rows), 0);
            },
            kProgressStep);
    }
    catch (...)
    {
    }
    PostMessageA(dialog->m_hwnd, kWalkEndedMessage, static_cast<WPARAM>(result), 0);
    return 0;
}

void CFilterPreviewDialog::StopWalk()
{
    if (!m_thread.IsValid())
        return;
    m_preview.Stop();
    // The walk looks at the stop after every file, so this wait is short.
    WaitForSingleObject(m_thread.Get(), INFINITE);
    m_thread.Reset(NULL);
}

void CFilterPreviewDialog::OnProgress(size_t count)
{
    m_progressPosted = false;
    if (m_walking)
        m_progress.SetText(FormatResource(IDS_PREVIEW_WALKING, GroupedDigits(count)));
}

void CFilterPreviewDialog::OnWalkEnded(int result)
{
    if (m_thread.IsValid())
    {
        WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset(NULL);
    }
    m_walking = false;
    m_stop.Enable(false);
    if (GetFocus() == NULL)
        SetFocus(m_close.GetHwnd());

    // The rows and totals first: the line above the list says the walk has
    // ended only once they are there to be read.
    FillView();
    ShowTotals();
    std::string count = GroupedDigits(m_preview.Rows().size());
    if (result == kFilesFilterUnusable || result == kWalkBroken)
        m_progress.SetText(LoadResourceString(IDS_PREVIEW_FAILED));
    else if (m_preview.Stopped())
        m_progress.SetText(FormatResource(IDS_PREVIEW_STOPPED, count));
    else
        m_progress.SetText(FormatResource(IDS_PREVIEW_DONE, count));
    // The message the job would show before its archiver runs.
    if (result == kFilesFilterUnusable)
        ShowErrorMessage(m_hwnd, GetFilterCompileError().c_str());
}

void CFilterPreviewDialog::FillView()
{
    m_view.clear();
    // The rows belong to the walk until it has ended.
    if (!m_walking)
    {
        bool outOnly = m_outOnly.GetCheck() == BST_CHECKED;
        const std::vector<CPreviewRow>& rows = m_preview.Rows();
        m_view.reserve(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
        {
            if (!outOnly || rows[i].state != kPreviewIn)
                m_view.push_back(i);
        }
        ApplySort();
    }
    m_rows.SetItemCount(static_cast<int>(m_view.size()), 0);
    InvalidateRect(m_rows.GetHwnd(), NULL, TRUE);
}

void CFilterPreviewDialog::SortBy(int column)
{
    if (m_walking)
        return;
    m_sortDescending = column == m_sortColumn ? !m_sortDescending : false;
    m_sortColumn = column;
    ApplySort();
    InvalidateRect(m_rows.GetHwnd(), NULL, TRUE);
}

void CFilterPreviewDialog::ApplySort()
{
    int column = m_sortColumn;
    if (column < 0)
        return;
    const std::vector<CPreviewRow>& rows = m_preview.Rows();
    bool descending = m_sortDescending;
    if (column == kColumnSize || column == kColumnState)
    {
        auto key = [&rows, column](size_t i) {
            return column == kColumnSize ? rows[i].size : static_cast<ULONGLONG>(rows[i].state);
        };
        std::stable_sort(m_view.begin(), m_view.end(), [&key, descending](size_t a, size_t b) {
            return descending ? key(b) < key(a) : key(a) < key(b);
        });
    }
    else
    {
        // One text a row, made once: making two for each comparison cost more
        // than the sort itself on large trees.
        std::vector<std::string> keys(rows.size());
        for (size_t i : m_view)
            keys[i] = CellText(rows[i], column);
        std::stable_sort(m_view.begin(), m_view.end(), [&keys, descending](size_t a, size_t b) {
            return descending ? keys[b] < keys[a] : keys[a] < keys[b];
        });
    }
}

void CFilterPreviewDialog::ShowTotals()
{
    CPreviewTotals totals = m_preview.Totals();
    std::string text = FormatText(LoadResourceString(IDS_PREVIEW_TOTALS).c_str(), GroupedDigits(totals.inCount).c_str(),
                                  GroupedDigits(totals.inSize).c_str(), GroupedDigits(totals.outCount).c_str(),
                                  GroupedDigits(totals.outSize).c_str(), GroupedDigits(totals.errorCount).c_str());
    m_totals.SetText(text);
}

const CFilterDef* CFilterPreviewDialog::Definition(const CPreviewRow& row) const
{
    const std::vector<CFilterList>& lists = m_job.Setting.FilterLists;
    int index = m_job.FilterListIndex;
    if (row.definition < 0 || index < 0 || index >= static_cast<int>(lists.size()))
        return nullptr;
    const std::vector<CFilterDef>& definitions = lists[index].Definitions;
    return row.definition < static_cast<int>(definitions.size()) ? &definitions[row.definition] : nullptr;
}

std::string CFilterPreviewDialog::CellText(const CPreviewRow& row, int column) const
{
    if (row.ignored)
        return IgnoredCellText(row, column);
    const CFilterDef* definition = Definition(row);
    // A file a pack-only list leaves out matched none of its definitions.
    bool matchedNothing = row.state == kPreviewOut && definition == nullptr;
    switch (column)
    {
    case kColumnPath:
        return row.path;
    case kColumnState:
        return LoadResourceString(StateText(row.state));
    case kColumnSize:
        return HasSize(row) ? GroupedDigits(row.size) : std::string();
    case kColumnList:
        if (definition != nullptr || matchedNothing)
            return m_job.Setting.FilterLists[m_job.FilterListIndex].Title;
        return std::string();
    case kColumnType:
        return definition != nullptr ? DefinitionRowTexts(*definition)[0] : std::string();
    case kColumnPattern:
        if (matchedNothing)
            return LoadResourceString(IDS_PREVIEW_NO_MATCH);
        return definition != nullptr ? DefinitionRowTexts(*definition)[1] : std::string();
    case kColumnComment:
        if (row.state == kPreviewError)
            return ProblemText(static_cast<EFileProblem>(row.problem), row.error);
        return definition != nullptr ? definition->Comment : std::string();
    }
    return std::string();
}

// A row the .gitignore rules left out: the rule where a definition would
// be, as git check-ignore -v names it, and for a folder what it held.
std::string CFilterPreviewDialog::IgnoredCellText(const CPreviewRow& row, int column) const
{
    switch (column)
    {
    case kColumnPath:
        return row.folder ? row.path + "\\" : row.path;
    case kColumnState:
        return LoadResourceString(StateText(row.state));
    case kColumnSize:
        return GroupedDigits(row.size);
    case kColumnList:
        return m_job.Setting.FilterLists[m_job.FilterListIndex].Title;
    case kColumnType:
        return LoadResourceString(IDS_PREVIEW_GITIGNORE);
    case kColumnPattern:
        return row.rule.empty() ? LoadResourceString(IDS_PREVIEW_GIT_FOLDER) : row.rule;
    case kColumnComment:
        return row.folder ? FormatResource(IDS_PREVIEW_FOLDER_HELD, GroupedDigits(row.heldFiles)) : std::string();
    }
    return std::string();
}

void CFilterPreviewDialog::OnGetDispInfo(NMLVDISPINFOA* info)
{
    if ((info->item.mask & LVIF_TEXT) == 0 || info->item.pszText == NULL || info->item.cchTextMax <= 0)
        return;
    info->item.pszText[0] = '\0';
    if (info->item.iItem < 0 || static_cast<size_t>(info->item.iItem) >= m_view.size())
        return;
    std::string text = CellText(m_preview.Rows()[m_view[info->item.iItem]], info->item.iSubItem);
    lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
}

INT_PTR CFilterPreviewDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDC_PREVIEW_STOP:
        if (m_walking)
            m_preview.Stop();
        return TRUE;
    case IDC_PREVIEW_OUT_ONLY:
        FillView();
        return TRUE;
    case IDCANCEL:
        End();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CFilterPreviewDialog::OnNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_PREVIEW_ROWS)
        return 0;
    if (header->code == LVN_GETDISPINFOA)
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header)));
    else if (header->code == LVN_COLUMNCLICK)
        SortBy(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    return 0;
}

bool CFilterPreviewDialog::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    switch (message)
    {
    case kProgressMessage:
        OnProgress(static_cast<size_t>(wParam));
        break;
    case kWalkEndedMessage:
        OnWalkEnded(static_cast<int>(wParam));
        break;
    case WM_SIZE:
        Layout();
        break;
    case WM_GETMINMAXINFO:
        if (m_minFrame.cx > 0)
        {
            MINMAXINFO* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize.x = m_minFrame.cx;
            limits->ptMinTrackSize.y = m_minFrame.cy;
        }
        break;
    default:
        return false;
    }
    *result = TRUE;
    return true;
}

INT_PTR CFilterPreviewDialog::OnDpiChanged(int dpi, const RECT* suggested)
{
    int oldDpi = GetDpi();
    // The template's places first: the move to the suggested rectangle
    // lays the controls out from them.
    if (oldDpi > 0 && oldDpi != dpi)
    {
        for (RECT& place : m_templateRects)
            place = {MulDiv(place.left, dpi, oldDpi), MulDiv(place.top, dpi, oldDpi), MulDiv(place.right, dpi, oldDpi),
                     MulDiv(place.bottom, dpi, oldDpi)};
        m_templateClient = {MulDiv(m_templateClient.cx, dpi, oldDpi), MulDiv(m_templateClient.cy, dpi, oldDpi)};
        m_minFrame = {MulDiv(m_minFrame.cx, dpi, oldDpi), MulDiv(m_minFrame.cy, dpi, oldDpi)};
    }
    CDialogBase::OnDpiChanged(dpi, suggested);
    m_rows.SetFont(GothicFont(dpi), true);
    ScaleColumnWidths(&m_rows, kColumnCount, oldDpi, dpi);
    // Also when the suggested size was the size the window had.
    Layout();
    return TRUE;
}

void CFilterPreviewDialog::Layout()
{
    if (m_templateRects.size() != sizeof(kAnchors) / sizeof(kAnchors[0]))
        return;
    RECT client;
    GetClientRect(m_hwnd, &client);
    int dx = client.right - m_templateClient.cx;
    int dy = client.bottom - m_templateClient.cy;
    for (size_t i = 0; i < m_templateRects.size(); ++i)
    {
        const CAnchor& anchor = kAnchors[i];
        RECT place = m_templateRects[i];
        if (anchor.followRight)
            OffsetRect(&place, dx, 0);
        if (anchor.followBottom)
            OffsetRect(&place, 0, dy);
        if (anchor.stretchWidth)
            place.right += dx;
        if (anchor.stretchHeight)
            place.bottom += dy;
        SetWindowPos(GetDlgItem(m_hwnd, anchor.id), NULL, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Static texts and the check box keep stale pixels where they were.
    InvalidateRect(m_hwnd, NULL, TRUE);
}

void CFilterPreviewDialog::End()
{
    StopWalk();
    m_walking = false;
    EndModal(IDCANCEL);
}

INT_PTR CFilterPreviewDialog::OnClose()
{
    End();
    return TRUE;
}
