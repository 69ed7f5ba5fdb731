#pragma once

#include <windows.h>

#include <string>

// Runs this test executable again, only the tests that filter names, with
// the prefix's display scale at dpi: the LogPixels value of
// HKCU\Control Panel\Desktop, which Wine reads when a process starts (before
// HKLM's Fonts key) and a newly started process sees at once. The value the
// prefix had is put back before this returns. The exit code (0 when every
// test passed), *output what the run printed.
DWORD RunSelfAtDpi(int dpi, const std::string& filter, std::string* output);

// In a run started by RunSelfAtDpi, the DPI it was started for; otherwise
// the prefix's own, 96.
int ExpectedSystemDpi();
