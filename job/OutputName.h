#pragma once

#include <stddef.h>

#include <string>

// The output name the compress dialog proposes for the first input entry.
// A drive root (C: or C:\) stands for "C:\C_drive"; the extension is replaced
// by the format's (ReplaceExtension: an existing folder keeps its whole name);
// with an output folder the name's last component goes into that folder.
// outputFolder is nullptr when the output folder is not in force.
// Returns 1, or 0 (buffer untouched) when no name comes out or it does not fit.
int ProposeOutputName(const char* entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size);
// The same for an entry named by its wide name. The proposal is ANSI text:
// each character of the entry without an exact ANSI form becomes "_" (never
// "?", which names no file, nor a look-alike, which would pass for the real
// name); whether the entry is a folder is asked of the wide name.
int ProposeOutputName(const std::wstring& entry, const char* outputFolder, const char* extension, char* buffer,
                      size_t size);

// The check of a job's output name: a name that ends in ":" or in a real
// backslash names no file; one typed without a full folder is made full
// against the current folder, so that the output folder is known. Fills
// folder (without its trailing backslash); false when the name is refused.
bool SettleOutputName(std::string* name, std::string* folder);
