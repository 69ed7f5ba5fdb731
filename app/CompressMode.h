#pragma once

class CInputList;
class CPathCompletion;

// Runs the compress dialog on inputs (the files and folders the program was given), with compression jobs run by
// RunJob with the job's dialogs; its result is the run result. *notVerified,
// when given, tells whether the last job's archive failed its read back.
int RunCompressDialog(const CInputList& inputs, CPathCompletion* completion, bool* notVerified = nullptr);
// The same making one archive per entry of inputs; *allMade tells
// whether the last run made every archive.
int RunEachModeDialog(const CInputList& inputs, CPathCompletion* completion, bool* allMade);
