// The listing and check entries of TessikZip.dll. Nothing may be thrown
// across them: each catches what the work below can throw.

#include "common/ArchiverApi.h"
#include "dllkit/DllText.h"
#include "dllkit/Listing.h"
#include "tessikzip/ZipListing.h"


ARCHIVER_EXPORT ArchiverOpenArchive TessikZipOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst TessikZipFindFirst;
ARCHIVER_EXPORT ArchiverFindNext TessikZipFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx TessikZipGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery TessikZipCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive TessikZipCheckArchive;

namespace {

CListingEntry ListingEntry(const CZipListedEntry& entry)
{
    CListingEntry listed;
    listed.name = entry.name;
    listed.size = entry.record.size;
    listed.packedSize = entry.packedSize;
    listed.crc = entry.crc;
    listed.dosDate = entry.dosDate;
    listed.dosTime = entry.dosTime;
    listed.attributes = entry.attributes;
    listed.folder = entry.folder;
    listed.mode = entry.method == 99 ? "aes" : entry.method == 8 ? "deflate" : entry.method == 0 ? "store" : "other";
    return listed;
}

}  // namespace

HANDLE WINAPI TessikZipOpenArchive(HWND window, LPCSTR fileName, DWORD mode)
{
    try
    {
        std::vector<CZipListedEntry> entries;
        if (fileName == NULL || *fileName == '\0' || !ReadZipListing(FromDllText(fileName), &entries))
            return NULL;
        std::vector<CListingEntry> listed;
        listed.reserve(entries.size());
        for (const CZipListedEntry& entry : entries)
            listed.push_back(ListingEntry(entry));
        return OpenListing(std::move(listed));
    }
    catch (...)
    {
        return NULL;
    }
}

int WINAPI TessikZipFindFirst(HANDLE handle, LPCSTR wildName, INDIVIDUALINFO* info)
{
    return ListingFindFirst(handle, wildName, info);
}

int WINAPI TessikZipFindNext(HANDLE handle, INDIVIDUALINFO* info) { return ListingFindNext(handle, info); }

BOOL WINAPI TessikZipGetOriginalSizeEx(HANDLE handle, __int64* size) { return ListingOriginalSize(handle, size); }

int WINAPI TessikZipCloseArchive(HANDLE handle) { return CloseListing(handle); }

BOOL WINAPI TessikZipCheckArchive(LPCSTR fileName, int mode)
{
    try
    {
        if (fileName == NULL || *fileName == '\0')
            return FALSE;
        EZipCheck depth = mode == CHECKARCHIVE_FULLCRC ? EZipCheck::FullCrc : EZipCheck::Structure;
        return CheckZipArchive(FromDllText(fileName), depth) ? TRUE : FALSE;
    }
    catch (...)
    {
        return FALSE;
    }
}
