// The listing and check entries of Tessik7z.dll. Nothing may be thrown
// across them: each catches what the work below can throw.

#include "common/ArchiverApi.h"
#include "dllkit/DllText.h"
#include "dllkit/Listing.h"
#include "tessik7z/SevenZipListing.h"

ARCHIVER_EXPORT ArchiverOpenArchive Tessik7zOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst Tessik7zFindFirst;
ARCHIVER_EXPORT ArchiverFindNext Tessik7zFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx Tessik7zGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery Tessik7zCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive Tessik7zCheckArchive;

HANDLE WINAPI Tessik7zOpenArchive(HWND window, LPCSTR fileName, DWORD mode)
{
    try
    {
        std::vector<CListingEntry> entries;
        if (fileName == NULL || *fileName == '\0' || !ReadSevenZipListing(FromDllText(fileName), &entries))
            return NULL;
        return OpenListing(std::move(entries));
    }
    catch (...)
    {
        return NULL;
    }
}

int WINAPI Tessik7zFindFirst(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info)
{
    return ListingFindFirst(handle, wildName, info);
}

int WINAPI Tessik7zFindNext(HANDLE handle, INDIVIDUALINFO* info) { return ListingFindNext(handle, info); }

BOOL WINAPI Tessik7zGetOriginalSizeEx(HANDLE handle, __int64* size) { return ListingOriginalSize(handle, size); }

int WINAPI Tessik7zCloseArchive(HANDLE handle) { return CloseListing(handle); }

BOOL WINAPI Tessik7zCheckArchive(LPCSTR fileName, int mode)
{
    try
    {
        if (fileName == NULL || *fileName == '\0')
            return FALSE;
        return CheckSevenZipArchive(FromDllText(fileName), mode == CHECKARCHIVE_FULLCRC) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}
