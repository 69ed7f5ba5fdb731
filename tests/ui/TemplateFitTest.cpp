// Every label of every dialog template shows whole with the font the dialogs
// get here: no text runs past its control or wraps onto a line the control
// has no room for. The templates are sized for ＭＳ Ｐゴシック; a font whose
// widths differ (a Wine prefix without the replacement, a template edit with
// a longer label) shows up as a list of the controls that cut their text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// Text starts this far right of a check box's or radio button's left edge:
// the box, 13 pixels, and the gap after it.
const int kCheckTextOffset = 16;
// A push button's frame and a group box's line ends take this much of the width.
const int kButtonEdges = 4;
const int kGroupEdges = 12;

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
        return client.right - kCheckTextOffset;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return client.right - kButtonEdges;
    case BS_GROUPBOX:
        return client.right - kGroupEdges;
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

}  // namespace

TEST(TemplateFit, EveryLabelOfEveryTemplateShowsWhole)
{
    std::vector<WORD> ids;
    EnumResourceNamesA(NULL, RT_DIALOG, CollectDialogId, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_LE(19u, ids.size());

    // Pages are child templates: they need a parent, which stays hidden.
    HWND host = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 800, 600, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, host);
    std::vector<std::string> cut;
    int measured = 0;
    for (WORD id : ids)
    {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), host, PlainProc, 0);
        EXPECT_NE(nullptr, dialog) << "dialog " << id;
        if (dialog == NULL)
            continue;
        std::vector<std::string> more = CutLabels(id, dialog, &measured);
        cut.insert(cut.end(), more.begin(), more.end());
        DestroyWindow(dialog);
    }
    DestroyWindow(host);

    EXPECT_LE(80, measured);
    std::string list;
    for (const std::string& line : cut)
        list += line + "\n";
    EXPECT_TRUE(cut.empty()) << list;
}
