#pragma once

// Layout versions of the settings file, as passed to the format builders'
// ReadSettings.
const int kLayoutLegacy1 = 1;  // "[tessik v0.01]"
const int kLayoutLegacy2 = 2;  // "[tessik v0.02]"
const int kLayoutCurrent = 100;
