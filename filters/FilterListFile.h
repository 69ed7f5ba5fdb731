#pragma once

#include "settings/FilterList.h"

// A filter-list file (".flt"): an INI file in the ANSI code page holding one
// list in section FILTER_0, with the keys of a list section of the settings
// file. Other sections of a file that is written over stay as they were.

extern const char kFilterListFileSection[];

// Writes list into path. The successor is made beside the file (a copy of it,
// then the list section written into the copy) and put in its place in one
// rename, so a file that cannot be replaced (read-only, locked, folder not
// writable) is left exactly as it was. 1 when the file was written, else 0.
int WriteFilterListFile(const char* path, const CFilterList& list);

// Reads section FILTER_0 of path into *list (missing keys give the new-list and
// new-definition defaults; a file without the section gives an empty list).
// 0, with *list untouched, when the file does not exist or cannot be read.
int ReadFilterListFile(const char* path, CFilterList* list);

// What the user chose to take from an imported list.
struct CFilterImportChoice
{
    bool title = false;
    bool comment = false;
    bool replaceDefinitions = false;  // false: the file's definitions are appended
    bool action = false;  // also the .gitignore switch
};

void ApplyImportedList(const CFilterList& imported, const CFilterImportChoice& choice, CFilterList* edited);
