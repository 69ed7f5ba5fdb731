#pragma once

// Settings mode: the settings dialog in the program's own message loop, which
// translates the accelerators and dialog keys against the current page
// window. Returns the run result the dialog ended with (1 writes the settings).
int RunSettingsMode();
