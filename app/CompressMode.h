#pragma once

class CPathCompletion;

// Runs the compress dialog on the input list, with compression jobs run by
// RunJob with the job's dialogs; its result is the run result. *notVerified,
// when given, tells whether the last job's archive failed its read back.
int RunCompressDialog(CPathCompletion* completion, bool* notVerified = nullptr);
// The same making one archive per entry of the input list; *allMade tells
// whether the last run made every archive.
int RunEachModeDialog(CPathCompletion* completion, bool* allMade);
