#pragma once

#include "tessikzip/ZipCommand.h"
#include "tessikzip/ZipMessages.h"

#include <windows.h>

#include <string>
#include <vector>

// One file or folder to store, as the list files and the folders below them
// name it.
struct CSourceItem
{
    std::wstring path;  // on disk, to open
    std::wstring name;  // stored name, '\\' between the parts, no trailing separator
    bool folder = false;
    ULONGLONG size = 0;
    DWORD attributes = 0;
    FILETIME written = {};
    FILETIME accessed = {};
    FILETIME created = {};
};

// The name as entries are compared: upper case, '/' for '\\', no trailing
// separator.
std::wstring ZipNameKey(const std::wstring& name);

// Reads every list file of the command (text of the DLL's mode, one path a
// line, optionally quoted) and walks the folders it names, in list order; a
// name listed twice is kept once. False with *failure and *subject set when
// a list cannot be read or names something that is not there.
bool CollectSources(const CZipCommand& command, std::vector<CSourceItem>* items, EZipFailure* failure,
                    std::wstring* subject);
