// Cab32.dll on a Linux host: CAB through gcab (MSZIP or none).
#include "bridges/core/BridgeListing.h"
#include "bridges/core/BridgeRun.h"
#include "bridges/core/BridgeText.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand Cab;
ARCHIVER_EXPORT ArchiverSetUnicodeMode CabSetUnicodeMode;
ARCHIVER_EXPORT ArchiverGetVersion CabGetVersion;
ARCHIVER_EXPORT ArchiverOpenArchive CabOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst CabFindFirst;
ARCHIVER_EXPORT ArchiverFindNext CabFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx CabGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery CabCloseArchive;
ARCHIVER_EXPORT ArchiverHandleQuery CabIsSFXFile;
ARCHIVER_EXPORT ArchiverCheckArchive CabCheckArchive;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "xargs", "gcab"});
}

ARCHIVER_EXPORT int WINAPI Cab(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateCab);
}

// gcab stores a name that is not ASCII in UTF-8 with the cabinet's
// name-is-UTF-8 attribute, which readers decode: every name is stored exactly.
ARCHIVER_EXPORT BOOL WINAPI CabSetUnicodeMode(BOOL on) { return SetBridgeUnicodeMode(on); }

ARCHIVER_EXPORT WORD WINAPI CabGetVersion() { return kBridgeVersion; }

// The listing comes from the cabinet's own file records, read here as
// Cab32.dll reads them, by the reader the bridge's own read-back uses.
// The test is cabextract's, which the host may lack: then the check fails
// and a cabinet is still made, since gcab alone makes it.
ARCHIVER_EXPORT HANDLE WINAPI CabOpenArchive(HWND, LPCSTR file, DWORD)
{
    return OpenBridgeArchive(file, [](const std::string& archive, std::vector<CArchiveEntry>* entries) {
        return ReadCabEntries(ProgramToWide(archive), entries);
    });
}

ARCHIVER_EXPORT int WINAPI CabFindFirst(HANDLE archive, LPCSTR wildName, INDIVIDUALINFO* info)
{
    return FindFirstBridgeEntry(archive, wildName, info);
}

ARCHIVER_EXPORT int WINAPI CabFindNext(HANDLE archive, INDIVIDUALINFO* info) { return FindNextBridgeEntry(archive, info); }

ARCHIVER_EXPORT BOOL WINAPI CabGetOriginalSizeEx(HANDLE archive, __int64* size)
{
    return GetBridgeEntrySize(archive, size);
}

ARCHIVER_EXPORT int WINAPI CabCloseArchive(HANDLE archive) { return CloseBridgeArchive(archive); }
// Self-extracting cabinets are not made here.
ARCHIVER_EXPORT int WINAPI CabIsSFXFile(HANDLE) { return 0; }

ARCHIVER_EXPORT BOOL WINAPI CabCheckArchive(LPCSTR file, int)
{
    return CheckBridgeArchive(file, "cabextract", {"-t"}, ToolSucceeded);
}
