#pragma once

#include "common/ArchiverApi.h"

#include <windows.h>

#include <string>
#include <vector>

// The listing entries every archiver DLL of ours has: OpenArchive gives a
// handle that owns the entries read when it was opened, FindFirst and
// FindNext walk them, GetOriginalSizeEx gives the full size of the entry
// found last, CloseArchive frees it. A handle that is not open (closed
// already, or never given) is refused, never followed.

// One entry as INDIVIDUALINFO shows it.
struct CListingEntry
{
    std::wstring name;  // as stored, '/' between the parts
    ULONGLONG size = 0;
    ULONGLONG packedSize = 0;
    unsigned long crc = 0;
    WORD dosDate = 0;
    WORD dosTime = 0;
    DWORD attributes = 0;  // DOS attributes
    bool folder = false;
    const char* mode = "";  // szMode, a static text
};

// A handle for these entries; NULL when there is no memory.
HANDLE OpenListing(std::vector<CListingEntry> entries);
// wildName: "*" and "?" against the stored name, without case, '/' = '\';
// NULL, "" and "*.*" are every entry. 0 with the entry, -1 after the last.
int ListingFindFirst(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info);
int ListingFindNext(HANDLE handle, INDIVIDUALINFO* info);
BOOL ListingOriginalSize(HANDLE handle, __int64* size);
int CloseListing(HANDLE handle);
