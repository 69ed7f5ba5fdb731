#pragma once

#include "common/ScopedHandle.h"
#include "settings/CompressJob.h"
#include "ui/framework/ButtonWrapper.h"
#include "ui/framework/ComboWrapper.h"
#include "ui/framework/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class CPathCompletion;

// Runs one compression job for the dialog, which owns the job's windows;
// 0 when the job succeeded.
typedef std::function<int(HWND owner, CCompressJob* job)> CJobRunner;

// Client height of the folded compress dialog at 96 DPI: the group
// "一時設定" and its two check boxes lie below it.
const int kFoldedClientHeight = 80;

// The main window of compress mode (template 101): proposes the output name for
// the input list, lets the user pick format, filter list and switches, and runs
// compression jobs through the runner it is given. Reads the input list and
// g_appSetting; writes only the window position and, with CmpTypeDefault, the
// default format back into g_appSetting.
class CCompressDialog : public CDialogBase
{
public:
    // completion may be nullptr: the output field then has no path completion.
    CCompressDialog(const std::vector<std::wstring>& inputs, CJobRunner runJob, CPathCompletion* completion);

    // One archive per input entry: the title says how many.
    void SetArchiveCount(int count) { m_archiveCount = count; }

    // Modal and without owner; 1 (settings to be written back) in every case
    // except a template that cannot be loaded (-1).
    int Run();

    INT_PTR OnInit();
    INT_PTR OnCommand(int code, int id, HWND control);
    INT_PTR OnClose();
    bool OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
    void OnFirstShow();
    INT_PTR OnDpiChanged(int dpi, const RECT* suggested);

private:
    // "ＭＳ ゴシック" for the output field at the dialog's DPI.
    void SetOutputFont(bool redraw);
    void InitOutputField();
    // The tooltips and the path completion, once the dialog is shown.
    void FinishSetUp();
    void FillFormats();
    void FillFilterLists();
    void ProposeName();

    void OnFormatChanged();
    void OnBrowse();
    // unattended: the run started by the dialog itself (quick start).
    void OnCompress(bool unattended = false);
    // The filter preview of the inputs with the list and switch chosen now.
    void OnPreview();
    void AddPreviewCommand();
    // The job the dialog's fields describe.
    CCompressJob CurrentJob() const;
    void Close();

    int SelectedFormatId() const;
    bool HasFilterLists() const;
    void ApplyPasswordRule(int formatId);
    void ApplyFilterListRule(bool useFilter);
    void SetExpanded(bool expanded);
    void EnableControls(bool enable);

    const std::vector<std::wstring>& m_inputs;
    CJobRunner m_runJob;
    int m_archiveCount = 0;
    CPathCompletion* m_completion;
    CControlWrapper m_outputFile;
    CButtonWrapper m_browse;
    CComboWrapper m_format;
    CComboWrapper m_filterList;
    CButtonWrapper m_usePassword;
    CButtonWrapper m_expand;
    CButtonWrapper m_compress;
    CButtonWrapper m_useFilter;
    CButtonWrapper m_openFolder;

    int m_fullWidth = 0;
    int m_fullHeight = 0;
    bool m_expanded = false;
    bool m_jobRunning = false;
    // Turns the preview's key into the preview command while the dialog is up.
    CScopedHook m_previewKey;
    bool m_finishPosted = false;
};
