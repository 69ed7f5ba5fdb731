#pragma once

#include <stddef.h>

// The output name the compress dialog proposes for the first input entry.
// A drive root (C: or C:\) stands for "C:\C_drive"; the extension is replaced
// by the format's (ReplaceExtension: an existing folder keeps its whole name);
// with an output folder the name's last component goes into that folder.
// outputFolder is nullptr when the output folder is not in force.
// Returns 1, or 0 (buffer untouched) when no name comes out or it does not fit.
int ProposeOutputName(const char* entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size);
