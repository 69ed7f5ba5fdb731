// Every label of every dialog template shows whole with the font the dialogs
// get here: no text runs past its control or wraps onto a line the control
// has no room for. The templates are sized for ＭＳ Ｐゴシック; a font whose
// widths differ (a Wine prefix without the replacement, a template edit with
// a longer label) shows up as a list of the controls that cut their text.
// Nor does any control leave its dialog or lie over another one. Both hold at
// every display scale: the run at the prefix's own 96 DPI checks them here,
// and runs of this executable at 120, 144 and 192 DPI check them again.
#include "resources/filter_pages_resource.h"
#include "resources/format_pages_resource.h"
#include "tests/support/ScaledRun.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// At 96 DPI: text starts this far right of a check box's or radio button's
// left edge: the box, 13 pixels, and the gap after it.
const int kCheckTextOffset = 16;
// A push button's frame and a group box's line ends take this much of the width.
const int kButtonEdges = 4;
const int kGroupEdges = 12;

// Controls that lie over others or past their dialog on purpose, each with
// its reason. kAnyControl stands for every control of the dialog, kDialogEdge
// for the edge of its client area.
const int kAnyControl = 0;
const int kDialogEdge = 0x10000;
struct COverlapAllowed
{
    WORD dialogId;
    int controlId;
    int otherId;
    const char* reason;
};
// An up-down control aligned right (UDS_ALIGNRIGHT) takes the right end of
// its buddy field, whose border it draws.
const char kUpDown[] = "up-down over its buddy's right border";
const COverlapAllowed kOverlapsAllowed[] = {
    {IDD_SEVENZIP_ZIP_PAGE, IDC_7ZIP_FAST_BYTES_SPIN, IDC_7ZIP_FAST_BYTES, kUpDown},
    {IDD_SEVENZIP_ZIP_PAGE, IDC_7ZIP_PASSES_SPIN, IDC_7ZIP_PASSES, kUpDown},
    {IDD_ZIP_PAGE, IDC_ZIP_LEVEL_SPIN, IDC_ZIP_LEVEL, kUpDown},
    {IDD_CAB_PAGE, IDC_CAB_LZX_LEVEL_SPIN, IDC_CAB_LZX_LEVEL, kUpDown},
    {IDD_CAB_PAGE, IDC_CAB_VOLUME_SIZE_SPIN, IDC_CAB_VOLUME_SIZE, kUpDown},
    {IDD_TZIP_PAGE, IDC_TZIP_LEVEL_SPIN, IDC_TZIP_LEVEL, kUpDown},
    {IDD_TZIP_PAGE, IDC_TZIP_THREADS_SPIN, IDC_TZIP_THREADS, kUpDown},
    {IDD_T7Z_PAGE, IDC_T7Z_LEVEL_SPIN, IDC_T7Z_LEVEL, kUpDown},
    {IDD_T7Z_PAGE, IDC_T7Z_SOLID_BLOCK_SPIN, IDC_T7Z_SOLID_BLOCK, kUpDown},
    {IDD_T7Z_PAGE, IDC_T7Z_THREADS_SPIN, IDC_T7Z_THREADS, kUpDown},
    // At 192 DPI the preview is wider than the test's 1280-pixel screen, and
    // the platform cuts a resizable window to the screen; the dialog then lays
    // its controls out for the size it got (its own procedure, not run here).
    {IDD_FILTER_PREVIEW, kAnyControl, kDialogEdge, "resizable, cut to the screen"},
};

int Scaled(int value)
{
    return MulDiv(value, ExpectedSystemDpi(), 96);
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL CALLBACK CollectDialogId(HMODULE, LPCSTR, LPSTR name, LONG_PTR list)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(list)->push_back(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::string ClassOf(HWND control)
{
    char name[64] = "";
    GetClassNameA(control, name, sizeof(name));
    return name;
}

// The width the text may take in the control, or -1 for a control without a
// label to measure (edit fields, lists, icons, pictures, empty texts).
int LabelRoom(HWND control, const std::string& text)
{
    if (text.empty())
        return -1;
    RECT client;
    GetClientRect(control, &client);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    std::string kind = ClassOf(control);
    if (lstrcmpiA(kind.c_str(), "Static") == 0)
    {
        LONG type = style & SS_TYPEMASK;
        bool label = type == SS_LEFT || type == SS_RIGHT || type == SS_CENTER || type == SS_LEFTNOWORDWRAP ||
                     type == SS_SIMPLE;
        return label ? client.right : -1;
    }
    if (lstrcmpiA(kind.c_str(), "Button") != 0 || (style & (BS_ICON | BS_BITMAP)) != 0)
        return -1;
    switch (style & BS_TYPEMASK)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return client.right - Scaled(kCheckTextOffset);
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return client.right - Scaled(kButtonEdges);
    case BS_GROUPBOX:
        return client.right - Scaled(kGroupEdges);
    default:
        return -1;
    }
}

// "dialog 101: 「text」 needs 88 of 86 pixels" for each label that is cut.
// *measured counts the labels looked at.
std::vector<std::string> CutLabels(WORD dialogId, HWND dialog, int* measured)
{
    std::vector<std::string> cut;
    HDC dc = GetDC(dialog);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != NULL; control = GetWindow(control, GW_HWNDNEXT))
    {
        char buffer[512] = "";
        GetWindowTextA(control, buffer, sizeof(buffer));
        std::string text = buffer;
        int room = LabelRoom(control, text);
        if (room < 0)
            continue;
        ++*measured;
        RECT client;
        GetClientRect(control, &client);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
        // One line as wide as the text, and the lines it takes in the room there is.
        RECT line = {0, 0, 0, 0};
        DrawTextA(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_SINGLELINE);
        RECT wrapped = {0, 0, room, 0};
        DrawTextA(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK);
        SelectObject(dc, old);
        bool multiLine = ClassOf(control) == "Static" && client.bottom >= 2 * line.bottom;
        bool fits = multiLine ? wrapped.bottom <= client.bottom && wrapped.right <= room : line.right <= room;
        if (!fits)
            cut.push_back("dialog " + std::to_string(dialogId) + ": 「" + text + "」 needs " +
                          std::to_string(multiLine ? wrapped.bottom : line.right) + " of " +
                          std::to_string(multiLine ? client.bottom : room) + " pixels");
    }
    ReleaseDC(dialog, dc);
    return cut;
}

bool IsGroupBox(HWND control)
{
    return ClassOf(control) == "Button" && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool OverlapAllowed(WORD dialogId, int a, int b)
{
    for (const COverlapAllowed& allowed : kOverlapsAllowed)
    {
        bool control = allowed.controlId == a || allowed.controlId == kAnyControl;
        if (allowed.dialogId == dialogId && ((control && allowed.otherId == b) ||
                                             (allowed.controlId == b && allowed.otherId == a)))
            return true;
    }
    return false;
}

// "1002 「text」 (10,4)-(60,16)": the control's place in the dialog.
std::string Named(HWND control, const RECT& place)
{
    char text[128] = "";
    GetWindowTextA(control, text, sizeof(text));
    return std::to_string(GetDlgCtrlID(control)) + " 「" + text + "」 (" + std::to_string(place.left) + "," +
           std::to_string(place.top) + ")-(" + std::to_string(place.right) + "," + std::to_string(place.bottom) + ")";
}

// "dialog 101: control 1002 「…」 overlaps 1003 「…」" or "… runs past the
// dialog" for each control out of place. A group box may hold controls
// wholly inside it; a combo box counts with its closed height only.
std::vector<std::string> MisplacedControls(WORD dialogId, HWND dialog)
{
    std::vector<std::string> faults;
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<std::pair<HWND, RECT>> controls;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != NULL; control = GetWindow(control, GW_HWNDNEXT))
    {
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&place), 2);
        if (IsRectEmpty(&place))
            continue;
        std::string prefix = "dialog " + std::to_string(dialogId) + ": control " + Named(control, place);
        if (!Contains(client, place) && !OverlapAllowed(dialogId, GetDlgCtrlID(control), kDialogEdge))
            faults.push_back(prefix + " runs past the dialog");
        for (const auto& other : controls)
        {
            RECT common;
            if (!IntersectRect(&common, &place, &other.second) ||
                OverlapAllowed(dialogId, GetDlgCtrlID(control), GetDlgCtrlID(other.first)))
                continue;
            if ((IsGroupBox(other.first) && Contains(other.second, place)) ||
                (IsGroupBox(control) && Contains(place, other.second)))
                continue;
            faults.push_back(prefix + " overlaps " + Named(other.first, other.second));
        }
        controls.push_back({control, place});
    }
    return faults;
}

// Every dialog template of the program, each created once (pages, child
// templates, under a hidden parent) and handed to check.
void CheckEveryTemplate(const std::function<std::vector<std::string>(WORD, HWND)>& check)
{
    std::vector<WORD> ids;
    EnumResourceNamesA(NULL, RT_DIALOG, CollectDialogId, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_LE(19u, ids.size());

    HWND host = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, host);
    std::vector<std::string> faults;
    for (WORD id : ids)
    {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), host, PlainProc, 0);
        EXPECT_NE(nullptr, dialog) << "dialog " << id;
        if (dialog == NULL)
            continue;
        std::vector<std::string> more = check(id, dialog);
        faults.insert(faults.end(), more.begin(), more.end());
        DestroyWindow(dialog);
    }
    DestroyWindow(host);

    std::string list;
    for (const std::string& line : faults)
        list += line + "\n";
    EXPECT_TRUE(faults.empty()) << "at " << ExpectedSystemDpi() << " DPI:\n" << list;
}

}  // namespace

TEST(TemplateFit, EveryLabelOfEveryTemplateShowsWhole)
{
    HDC screen = GetDC(NULL);
    ASSERT_EQ(ExpectedSystemDpi(), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(NULL, screen);
    int measured = 0;
    CheckEveryTemplate([&measured](WORD id, HWND dialog) { return CutLabels(id, dialog, &measured); });
    EXPECT_LE(80, measured);
}

TEST(TemplateFit, NoControlLeavesItsDialogOrOverlapsAnother)
{
    CheckEveryTemplate(MisplacedControls);
}

class TemplateFitScale : public testing::TestWithParam<int>
{
};

TEST_P(TemplateFitScale, BothChecksHoldInARunAtThisDpi)
{
    std::string output;
    DWORD code = RunSelfAtDpi(GetParam(), "TemplateFit.*", &output);
    EXPECT_EQ(0u, code) << output;
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 2 tests.")) << output;
}

INSTANTIATE_TEST_SUITE_P(TemplateFit, TemplateFitScale, testing::Values(120, 144, 192));
