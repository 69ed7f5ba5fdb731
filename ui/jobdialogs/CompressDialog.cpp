#include "ui/jobdialogs/CompressDialog.h"

#include "archivers/formats/FormatRegistry.h"
#include "common/PathUtil.h"
#include "common/ScopedHandle.h"
#include "common/ShiftJis.h"
#include "resources/resource.h"
#include "settings/AppSetting.h"
#include "settings/CompressJob.h"
#include "ui/framework/Messages.h"
#include "job/OutputName.h"
#include "ui/framework/PathCompletion.h"
#include "ui/filtereditors/FilterPreviewDialog.h"

#include <commdlg.h>
#include <shlwapi.h>

#include <stdio.h>
#include <string.h>

namespace {

const char kTitleFormat[] = "圧縮  - %s";
const char kEachTitleFormat[] = "圧縮  - %s (%d 個の書庫を個別に作成)";
const char kOutputFontFace[] = "ＭＳ ゴシック";
const int kOutputFontPoints = 9;
const char kExpandedText[] = "▲設定(&S)";
const char kFoldedText[] = "▼設定(&S)";
const char kSaveTitle[] = "保存先の指定";
const char kSaveFilterFormat[] = "%s\n*%s\nすべてのファイル(*.*)\n*.*\n";
const char kNewFileName[] = "newfile";
// The preview's item in the title-bar menu. A system command's low four bits
// belong to the system, and ids from 0xF000 on are its own.
const UINT kPreviewCommand = 0x0A10;
// Ctrl+P, the key the menu item names.
const WPARAM kPreviewKey = 'P';

// The compress dialog while it is up; the key filter acts only on its windows.
HWND g_previewKeyDialog = NULL;

bool IsKeyDown(int key)
{
    return (GetKeyState(key) & 0x8000) != 0;
}

// A modal dialog's loop has no accelerator table; its message filter sees
// every key before the focused control does, also on Wine.
LRESULT CALLBACK PreviewKeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == kPreviewKey &&
        g_previewKeyDialog != NULL && IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU) && !IsKeyDown(VK_SHIFT) &&
        (message->hwnd == g_previewKeyDialog || IsChild(g_previewKeyDialog, message->hwnd)))
    {
        PostMessageA(g_previewKeyDialog, WM_SYSCOMMAND, kPreviewCommand, 0);
        return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
// A command no template's control sends: the dialog posts it to itself to
// finish, once it is shown, what it does not need to be drawn.
const int kFinishSetUpCommand = 0x7F01;

}  // namespace

CCompressDialog::CCompressDialog(const std::vector<std::wstring>& inputs, CJobRunner runJob,
                                 CPathCompletion* completion)
    : m_inputs(inputs), m_runJob(std::move(runJob)), m_completion(completion)
{
}

int CCompressDialog::Run()
{
    return static_cast<int>(RunModal(IDD_COMPRESS, GetResourceModule(), NULL, DialogKindProc<CCompressDialog>));
}

INT_PTR CCompressDialog::OnInit()
{
    m_fullWidth = 0;
    m_fullHeight = 0;
    m_expanded = false;
    m_jobRunning = false;
    m_finishPosted = false;

    SetIcons(IDI_PROGRAM);
    char title[128];
    if (m_archiveCount > 0)
        snprintf(title, sizeof(title), kEachTitleFormat, kProgramName, m_archiveCount);
    else
        snprintf(title, sizeof(title), kTitleFormat, kProgramName);
    SetText(title);

    InitOutputField();

    m_browse.Attach(m_hwnd, IDC_BROWSE);
    m_browse.SetIcon(IDI_BROWSE);

    FillFormats();
    FillFilterLists();

    m_usePassword.Attach(m_hwnd, IDC_USE_PASSWORD);
    m_compress.Attach(m_hwnd, IDC_COMPRESS);
    m_expand.Attach(m_hwnd, IDC_EXPAND);
    m_useFilter.Attach(m_hwnd, IDC_USE_FILTER);
    m_openFolder.Attach(m_hwnd, IDC_OPEN_FOLDER);

    ProposeName();

    CArc* defaultFormat = FindFormat(g_appSetting.DefaultArcType);
    if (defaultFormat != nullptr)
        m_format.SelectString(defaultFormat->GetDisplayName());
    ApplyPasswordRule(SelectedFormatId());

    m_filterList.SetCurSel(0);
    if (!HasFilterLists())
        m_useFilter.Enable(false);
    m_useFilter.SetCheck(g_appSetting.FilterSw ? BST_CHECKED : BST_UNCHECKED);
    ApplyFilterListRule(g_appSetting.FilterSw);
    m_openFolder.SetCheck(g_appSetting.OutFolderOpen ? BST_CHECKED : BST_UNCHECKED);

    RECT client;
    GetClientRect(m_hwnd, &client);
    m_fullWidth = client.right - client.left;
    m_fullHeight = client.bottom - client.top;
    SetExpanded(false);

    MoveToStoredPosition(g_appSetting.WindowLeft, g_appSetting.WindowTop);
    AddPreviewCommand();

    // The job runs before the dialog is first shown; with CmpEndExit a
    // successful job ends the dialog here and it never appears.
    if (g_appSetting.QuickStart)
        OnCompress(true);
    return TRUE;
}

void CCompressDialog::AddPreviewCommand()
{
    HMENU menu = GetSystemMenu(m_hwnd, FALSE);
    if (menu != NULL)
    {
        AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
        AppendMenuA(menu, MF_STRING, kPreviewCommand, LoadResourceString(IDS_PREVIEW_MENU_ITEM).c_str());
    }
    g_previewKeyDialog = m_hwnd;
    m_previewKey.Reset(SetWindowsHookExA(WH_MSGFILTER, PreviewKeyFilter, NULL, GetCurrentThreadId()));
}

// The tooltips, the shell's library and the component model take a good part
// of the start-up and are not needed to draw the dialog: they are set up from
// the queue once the dialog is shown. A modal dialog is shown only when its
// queue is first empty, so a message posted from WM_INITDIALOG would still
// come before it; the first showing posts it instead.
void CCompressDialog::OnFirstShow()
{
    if (m_finishPosted)
        return;
    m_finishPosted = true;
    PostMessageA(m_hwnd, WM_COMMAND, MAKEWPARAM(kFinishSetUpCommand, 0), 0);
}

bool CCompressDialog::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    if (message == WM_SHOWWINDOW && wParam != FALSE)
        OnFirstShow();
    if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != kPreviewCommand)
        return false;
    if (!m_jobRunning)
        OnPreview();
    *result = TRUE;
    return true;
}

void CCompressDialog::OnPreview()
{
    CFilterPreviewDialog preview(CurrentJob(), m_inputs);
    preview.Run(m_hwnd);
}

void CCompressDialog::InitOutputField()
{
    m_outputFile.Attach(m_hwnd, IDC_OUTPUT_FILE);

    SetOutputFont(false);
}

void CCompressDialog::SetOutputFont(bool redraw)
{
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(kOutputFontPoints, GetDpi(), 72);
    font.lfCharSet = DEFAULT_CHARSET;
    strncpy(font.lfFaceName, kOutputFontFace, sizeof(font.lfFaceName) - 1);
    m_outputFile.SetFont(font, redraw);
}

INT_PTR CCompressDialog::OnDpiChanged(int dpi, const RECT* suggested)
{
    int oldDpi = GetDpi();
    CDialogBase::OnDpiChanged(dpi, suggested);
    SetOutputFont(true);
    m_browse.SetIcon(IDI_BROWSE, dpi);
    if (oldDpi != dpi)
    {
        m_fullWidth = MulDiv(m_fullWidth, dpi, oldDpi);
        m_fullHeight = MulDiv(m_fullHeight, dpi, oldDpi);
    }
    // The folded dialog shows only its first rows: its height is the
    // program's, not the suggested one.
    SetClientSize(m_fullWidth, m_expanded ? m_fullHeight : ScaleForDpi(kFoldedClientHeight, dpi));
    return TRUE;
}

void CCompressDialog::FinishSetUp()
{
    // Drawn first: what follows is not needed to see the dialog.
    UpdateWindow(m_hwnd);
    const struct
    {
        CControlWrapper* control;
        UINT text;
    } tips[] = {
        {&m_outputFile, IDS_TIP_OUTPUT_NAME}, {&m_browse, IDS_TIP_BROWSE},
        {&m_format, IDS_TIP_FORMAT},          {&m_filterList, IDS_TIP_FILTER_LIST},
        {&m_usePassword, IDS_TIP_USE_PASSWORD}, {&m_compress, IDS_TIP_COMPRESS},
        {&m_expand, IDS_TIP_EXPAND},          {&m_useFilter, IDS_TIP_USE_FILTER},
        {&m_openFolder, IDS_TIP_OPEN_FOLDER},
    };
    for (const auto& tip : tips)
        tip.control->AddTooltip(tip.text, true, kTooltipDisplayMs);
    if (m_completion == nullptr)
        return;
    m_completion->InitializeCom();
    // Without the shell's completion function the field simply has none.
    if (g_appSetting.AutoComplete)
        m_completion->Enable(m_outputFile.GetHwnd(), SHACF_FILESYSTEM);
}

void CCompressDialog::FillFormats()
{
    m_format.Attach(m_hwnd, IDC_FORMAT);
    m_format.ResetContent();
    for (const auto& entry : GetFormatRegistry())
    {
        if (entry.second->IsUsed())
            m_format.AddString(entry.second->GetDisplayName(), entry.first);
    }
}

void CCompressDialog::FillFilterLists()
{
    m_filterList.Attach(m_hwnd, IDC_FILTER_LIST);
    m_filterList.ResetContent();
    for (const CFilterList& list : g_appSetting.FilterLists)
        m_filterList.AddString(list.Title.c_str());
}

void CCompressDialog::ProposeName()
{
    if (m_inputs.empty())
        return;
    CArc* format = FindFormat(g_appSetting.DefaultArcType);
    if (format == nullptr)
        return;
    char name[kPathBufferSize];
    const char* outputFolder = g_appSetting.OutFolderSw ? g_appSetting.OutFolder.c_str() : nullptr;
    if (ProposeOutputName(m_inputs[0], outputFolder, format->GetExtension(), name, sizeof(name)))
        m_outputFile.SetText(name);
}

INT_PTR CCompressDialog::OnCommand(int code, int id, HWND control)
{
    switch (id)
    {
    case IDC_EXPAND:
        SetExpanded(!m_expanded);
        return TRUE;
    case IDC_FORMAT:
        // Focus and drop-down notifications must not rewrite what the user typed.
        if (code == CBN_SELCHANGE)
            OnFormatChanged();
        return TRUE;
    case IDC_BROWSE:
        OnBrowse();
        return TRUE;
    case IDC_COMPRESS:
        OnCompress();
        return TRUE;
    case IDC_USE_FILTER:
        ApplyFilterListRule(m_useFilter.GetCheck() == BST_CHECKED);
        return TRUE;
    case kFinishSetUpCommand:
        if (control == NULL)
            FinishSetUp();
        return TRUE;
    }
    // No cancel command: Escape leaves the dialog open.
    return FALSE;
}

INT_PTR CCompressDialog::OnClose()
{
    // The close command is disabled during a job; a close that still arrives
    // (posted by another program) waits for the user after the job.
    if (!m_jobRunning)
        Close();
    return TRUE;
}

void CCompressDialog::OnFormatChanged()
{
    int formatId = SelectedFormatId();
    CArc* format = FindFormat(formatId);
    if (format != nullptr)
    {
        std::string text = m_outputFile.GetText(kPathBufferSize);
        char renamed[kPathBufferSize];
        // Rewriting an unchanged text would only move the caret to the start.
        if (ReplaceExtension(text.c_str(), format->GetExtension(), renamed, sizeof(renamed)) && text != renamed)
            m_outputFile.SetText(renamed);
    }
    ApplyPasswordRule(formatId);
}

void CCompressDialog::OnBrowse()
{
    CArc* format = FindFormat(SelectedFormatId());
    char name[kPathBufferSize] = "";
    m_outputFile.GetText(name, sizeof(name));
    size_t length = strlen(name);
    // A folder or a drive gets a file name the user can overwrite.
    const char* addition = EndsWithSeparator(name) ? kNewFileName
                           : (length > 0 && name[length - 1] == ':') ? "\\newfile"
                                                                      : "";
    if (length + strlen(addition) < sizeof(name))
        strcat(name, addition);

    char folder[kPathBufferSize] = "";
    bool hasFolder = GetParentFolder(name, folder, sizeof(folder)) > 0;

    const char* displayName = format != nullptr ? format->GetDisplayName() : "";
    const char* extension = format != nullptr ? format->GetExtension() : "";
    char filter[kPathBufferSize];
    snprintf(filter, sizeof(filter), kSaveFilterFormat, displayName, extension);
    ReplaceChar(filter, '\n', '\0');

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_hwnd;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof(name);
    dialog.lpstrInitialDir = hasFolder ? folder : NULL;
    dialog.lpstrTitle = kSaveTitle;
    // The platform wants the default extension without its dot.
    dialog.lpstrDefExt = extension[0] == '.' ? extension + 1 : extension;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT;
    if (GetSaveFileNameA(&dialog))
        m_outputFile.SetText(name);
}

void CCompressDialog::OnCompress(bool unattended)
{
    if (m_jobRunning)
        return;
    CCompressJob job = CurrentJob();
    job.Unattended = unattended;

    // Disabling the focused control takes the focus away: give it back after.
    HWND focus = GetFocus();
    EnableControls(false);
    m_jobRunning = true;
    int result = m_runJob(m_hwnd, &job);
    m_jobRunning = false;
    if (result == 0 && job.Setting.CmpEndExit)
        Close();
    EnableControls(true);
    if (focus != NULL && IsChild(m_hwnd, focus) && IsWindowEnabled(focus))
        SetFocus(focus);
}

CCompressJob CCompressDialog::CurrentJob() const
{
    CCompressJob job;
    job.Setting = g_appSetting;
    job.OutputFile = m_outputFile.GetText(kPathBufferSize);
    job.Setting.DefaultArcType = SelectedFormatId();
    job.UsePassword = m_usePassword.GetCheck() == BST_CHECKED;
    job.FilterListIndex = m_filterList.GetCurSel();
    job.Setting.FilterSw = m_useFilter.GetCheck() == BST_CHECKED;
    job.Setting.OutFolderOpen = m_openFolder.GetCheck() == BST_CHECKED;
    return job;
}

void CCompressDialog::Close()
{
    m_previewKey.Reset(NULL);
    g_previewKeyDialog = NULL;
    GetNormalPosition(&g_appSetting.WindowLeft, &g_appSetting.WindowTop);
    int formatId = SelectedFormatId();
    if (g_appSetting.CmpTypeDefault && formatId != kNoFormat)
        g_appSetting.DefaultArcType = formatId;
    EndDialog(m_hwnd, 1);
}

int CCompressDialog::SelectedFormatId() const
{
    return m_format.GetItemValue(m_format.GetCurSel());
}

bool CCompressDialog::HasFilterLists() const
{
    return !g_appSetting.FilterLists.empty();
}

void CCompressDialog::ApplyPasswordRule(int formatId)
{
    CArc* format = FindFormat(formatId);
    m_usePassword.Enable(format != nullptr && format->SupportsPassword());
}

void CCompressDialog::ApplyFilterListRule(bool useFilter)
{
    m_filterList.Enable(useFilter && HasFilterLists());
}

void CCompressDialog::SetExpanded(bool expanded)
{
    SetClientSize(m_fullWidth, expanded ? m_fullHeight : ScaleForDpi(kFoldedClientHeight, GetDpi()));
    m_expand.SetText(expanded ? kExpandedText : kFoldedText);
    m_useFilter.Enable(expanded && HasFilterLists());
    m_openFolder.Enable(expanded);
    SetFocus(m_expand.GetHwnd());
    m_expanded = expanded;
}

void CCompressDialog::EnableControls(bool enable)
{
    BOOL state = enable ? TRUE : FALSE;
    m_outputFile.Enable(state);
    m_browse.Enable(state);
    m_format.Enable(state);
    m_compress.Enable(state);
    m_expand.Enable(state);
    if (enable)
    {
        ApplyFilterListRule(m_useFilter.GetCheck() == BST_CHECKED);
        ApplyPasswordRule(SelectedFormatId());
    }
    else
    {
        m_filterList.Enable(false);
        m_usePassword.Enable(false);
    }
    if (m_expanded)
    {
        m_openFolder.Enable(state);
        if (HasFilterLists())
            m_useFilter.Enable(state);
    }
    EnableMenuItem(GetSystemMenu(m_hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(GetSystemMenu(m_hwnd, FALSE), kPreviewCommand, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}
