#include "ui/filtereditors/FilterListFileDialogs.h"

#include "filters/FilterListFile.h"
#include "resources/resource.h"
#include "ui/framework/Messages.h"

#include <commdlg.h>

#include <string>

namespace {

const DWORD kFileNameSize = 260;
char s_exportName[kFileNameSize] = "";
char s_importName[kFileNameSize] = "";
const char kDefaultExtension[] = "flt";

// Pairs of display name and pattern, each ended by a NUL, the list by another.
std::string FileTypes()
{
    std::string types;
    types += LoadResourceString(IDS_FLT_FILTER_NAME);
    types += '\0';
    types += "*.flt";
    types += '\0';
    types += LoadResourceString(IDS_ALL_FILES_FILTER_NAME);
    types += '\0';
    types += "*.*";
    types += '\0';
    return types;
}

bool AskFileName(HWND owner, UINT titleId, char* name, DWORD flags, bool save)
{
    std::string types = FileTypes();
    std::string title = LoadResourceString(titleId);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = types.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = kFileNameSize;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = kDefaultExtension;
    dialog.Flags = flags;
    return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != FALSE;
}

// The message names the file, so that the user sees which one was refused.
void ShowFileError(HWND owner, UINT textId, const char* path)
{
    std::string text = LoadResourceString(textId) + "\n\n" + path;
    ShowErrorMessage(owner, text.c_str());
}

void ShowInfo(HWND owner, UINT textId)
{
    MessageBoxA(owner, LoadResourceString(textId).c_str(), kInfoTitle, MB_OK | MB_ICONINFORMATION);
}

// IDYES, IDNO or IDCANCEL.
int Ask(HWND owner, UINT textId)
{
    return MessageBoxA(owner, LoadResourceString(textId).c_str(), kConfirmTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
}

}  // namespace

int ExportFilterList(HWND owner, const CFilterList& list)
{
    // A file that does not exist yet is accepted: exporting to a new file is
    // the common case.
    if (!AskFileName(owner, IDS_EXPORT_TITLE, s_exportName, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                     true))
        return 0;
    if (!WriteFilterListFile(s_exportName, list))
    {
        ShowFileError(owner, IDS_EXPORT_FAILED, s_exportName);
        return 0;
    }
    ShowInfo(owner, IDS_EXPORTED);
    return 1;
}

int ImportFilterList(HWND owner, CFilterList* list)
{
    if (!AskFileName(owner, IDS_IMPORT_TITLE, s_importName, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                     false))
        return 0;
    CFilterList imported;
    if (!ReadFilterListFile(s_importName, &imported))
    {
        ShowFileError(owner, IDS_IMPORT_FAILED, s_importName);
        return 0;
    }

    // All four answers are in before anything is applied: Cancel at any of
    // them leaves the list as it was.
    static const UINT kQuestions[] = {IDS_ASK_IMPORT_TITLE, IDS_ASK_IMPORT_COMMENT, IDS_ASK_IMPORT_DEFINITIONS,
                                      IDS_ASK_IMPORT_ACTION};
    bool yes[4] = {};
    for (int i = 0; i < 4; ++i)
    {
        int answer = Ask(owner, kQuestions[i]);
        if (answer != IDYES && answer != IDNO)
            return 0;
        yes[i] = answer == IDYES;
    }
    CFilterImportChoice choice;
    choice.title = yes[0];
    choice.comment = yes[1];
    choice.replaceDefinitions = yes[2];
    choice.action = yes[3];
    ApplyImportedList(imported, choice, list);
    ShowInfo(owner, IDS_IMPORTED);
    return 1;
}
