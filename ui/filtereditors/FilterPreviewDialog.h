#pragma once

#include "common/ScopedHandle.h"
#include "filters/FilterPreview.h"
#include "settings/CompressJob.h"
#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ListWrapper.h"

#include <atomic>
#include <string>
#include <vector>

// The preview of what a filter list does to real files (template 122),
// modal: one row per file of the walk with its verdict and, for a file left
// out, the definition that decided; counts and sizes below. The walk runs on
// a thread of its own, which only posts to the dialog.
class CFilterPreviewDialog : public CDialogBase
{
public:
    // job gives the list (Setting.FilterLists[FilterListIndex]) and the
    // filter switch, inputs the entries as the job takes them; both are copied.
    CFilterPreviewDialog(const CCompressJob& job, const std::vector<std::wstring>& inputs);
    ~CFilterPreviewDialog();

    INT_PTR Run(HWND owner);

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnNotify(const NMHDR* header);
    INT_PTR OnClose();
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    // The layout, the list's font and its columns from the old DPI to dpi.
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

private:
    static DWORD WINAPI WalkThread(void* parameter);
    void StartWalk();
    void StopWalk();
    void OnProgress(size_t count);
    void OnWalkEnded(int result);
    void End();

    void FillView();
    // A click on column's header: ascending, or the other way round when
    // the view is already sorted by it.
    void SortBy(int column);
    void ApplySort();
    void ShowTotals();
    void Layout();
    void OnGetDispInfo(NMLVDISPINFOA* info);
    std::string CellText(const CPreviewRow& row, int column) const;
    std::string IgnoredCellText(const CPreviewRow& row, int column) const;
    const CFilterDef* Definition(const CPreviewRow& row) const;

    CCompressJob m_job;
    std::vector<std::wstring> m_inputs;
    CFilterPreview m_preview;
    CScopedHandle m_thread;
    bool m_walking = false;
    // Set by the walk when it posts a progress message, cleared when the
    // dialog has shown it: the walk never floods the queue.
    std::atomic<bool> m_progressPosted;

    // Indexes into the preview's rows, in the order shown.
    std::vector<size_t> m_view;
    int m_sortColumn = -1;
    bool m_sortDescending = false;

    CControlWrapper m_progress;
    CListWrapper m_rows;
    CControlWrapper m_totals;
    CButtonWrapper m_outOnly;
    CButtonWrapper m_stop;
    CButtonWrapper m_close;
    // The template's client size and each control's place in it, at the
    // dialog's DPI: a resize moves or stretches every control by the change.
    SIZE m_templateClient = {0, 0};
    SIZE m_minFrame = {0, 0};
    std::vector<RECT> m_templateRects;
};
