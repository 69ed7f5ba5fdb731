#pragma once

#include "settings/FilterList.h"

#include <windows.h>

// Export and import of the list being edited through ".flt" files, with the
// save and open dialogs and the messages. Each command keeps the name chosen
// last for the rest of the run, so its dialog opens with it.

// 1 when the file was written, 0 when the user cancelled or writing failed.
int ExportFilterList(HWND owner, const CFilterList& list);
// Asks what to take from the file; 1 when the import was applied to *list,
// 0 otherwise (*list then stays as it was).
int ImportFilterList(HWND owner, CFilterList* list);
