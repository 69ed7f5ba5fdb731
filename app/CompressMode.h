#pragma once

class CPathCompletion;

// Runs the compress dialog on the input list, with compression jobs run by
// RunCompressJob; its result is the run result.
int RunCompressDialog(CPathCompletion* completion);
