#pragma once

class CPathCompletion;

// Runs the compress dialog on the input list, with compression jobs run by
// RunJob with the job's dialogs; its result is the run result.
int RunCompressDialog(CPathCompletion* completion);
// The same making one archive per entry of the input list; *allMade tells
// whether the last run made every archive.
int RunEachModeDialog(CPathCompletion* completion, bool* allMade);
