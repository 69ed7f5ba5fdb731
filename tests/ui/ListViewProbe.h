#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Reads and drives a list view of this process from any of its threads.

// The texts of every row, column by column.
std::vector<std::vector<std::string>> ListViewRows(HWND list, int columns);
std::vector<int> ListViewSelection(HWND list);
// Selects exactly these rows.
void SelectListViewRows(HWND list, const std::vector<int>& rows);
std::vector<std::string> ListViewColumnTitles(HWND list, int columns);
std::vector<int> ListViewColumnWidths(HWND list, int columns);

// The file-name field of a common file dialog.
HWND FileDialogNameField(HWND dialog);
// Types path into a file dialog and presses its OK button. With
// confirmReplace the question whether to replace an existing file (a box
// with the dialog's own title) is answered Yes.
void AnswerFileDialog(HWND dialog, const std::string& path, bool confirmReplace);
