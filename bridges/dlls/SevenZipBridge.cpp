// 7-Zip32.dll on a Linux host: 7z and ZIP through 7zz.
#include "bridges/core/BridgeListing.h"
#include "bridges/core/BridgeRun.h"

#include <algorithm>

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand SevenZip;
ARCHIVER_EXPORT ArchiverSetUnicodeMode SevenZipSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion SevenZipGetVersion;
ARCHIVER_EXPORT ArchiverOpenArchive SevenZipOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst SevenZipFindFirst;
ARCHIVER_EXPORT ArchiverFindNext SevenZipFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx SevenZipGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery SevenZipCloseArchive;
ARCHIVER_EXPORT ArchiverCheckArchive SevenZipCheckArchive;

namespace {

// Whatever 7zz opens: 7z, ZIP, a 7z self-extracting program. There is no
// password here, so a 7z whose directory is encrypted is not read.
bool ReadSevenZipEntries(const std::string& archive, std::vector<CArchiveEntry>* entries)
{
    CHostSession session;
    std::string listing;
    if (!ListWithSevenZip(&session, archive, std::string(), &listing) || !ParseSevenZipEntries(listing, entries))
        return false;
    // 7-Zip on Windows lists its names with backslashes.
    for (CArchiveEntry& entry : *entries)
        std::replace(entry.name.begin(), entry.name.end(), L'/', L'\\');
    return true;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "7zz"});
}

ARCHIVER_EXPORT int WINAPI SevenZip(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateSevenZip);
}

// 7zz stores every name exactly: in a 7z as it is, in a ZIP as UTF-8 with
// the UTF-8 flag.
ARCHIVER_EXPORT BOOL WINAPI SevenZipSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

// At most 3.12: with no module beside it the program then offers no 7z
// self-extracting format, which 7zz of the host cannot make.
ARCHIVER_EXPORT WORD WINAPI SevenZipGetVersion() { return kBridgeVersion; }

ARCHIVER_EXPORT HANDLE WINAPI SevenZipOpenArchive(HWND, LPCSTR file, DWORD)
{
    return OpenBridgeArchive(file, ReadSevenZipEntries);
}

ARCHIVER_EXPORT int WINAPI SevenZipFindFirst(HANDLE archive, LPCSTR wildName, INDIVIDUALINFO* info)
{
    return FindFirstBridgeEntry(archive, wildName, info);
}

ARCHIVER_EXPORT int WINAPI SevenZipFindNext(HANDLE archive, INDIVIDUALINFO* info)
{
    return FindNextBridgeEntry(archive, info);
}

ARCHIVER_EXPORT BOOL WINAPI SevenZipGetOriginalSizeEx(HANDLE archive, __int64* size)
{
    return GetBridgeEntrySize(archive, size);
}

ARCHIVER_EXPORT int WINAPI SevenZipCloseArchive(HANDLE archive) { return CloseBridgeArchive(archive); }

// Every mode tests all of the data: 7zz has no lighter test.
ARCHIVER_EXPORT BOOL WINAPI SevenZipCheckArchive(LPCSTR file, int)
{
    return CheckBridgeArchive(file, "7zz", {"t"}, ToolSucceeded);
}
