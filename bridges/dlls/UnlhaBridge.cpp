// Unlha32.dll on a Linux host: LZH through jlha (lh5, lh6, lh7).
#include "bridges/core/BridgeListing.h"
#include "bridges/core/BridgeRun.h"
#include "bridges/core/BridgeText.h"

// The entries this DLL exports.
ARCHIVER_EXPORT ArchiverCommand Unlha;
ARCHIVER_EXPORT ArchiverGetVersion UnlhaGetVersion;
ARCHIVER_EXPORT ArchiverOpenArchive UnlhaOpenArchive;
ARCHIVER_EXPORT ArchiverFindFirst UnlhaFindFirst;
ARCHIVER_EXPORT ArchiverFindNext UnlhaFindNext;
ARCHIVER_EXPORT ArchiverGetOriginalSizeEx UnlhaGetOriginalSizeEx;
ARCHIVER_EXPORT ArchiverHandleQuery UnlhaCloseArchive;
ARCHIVER_EXPORT ArchiverHandleQuery UnlhaIsSFXFile;
ARCHIVER_EXPORT ArchiverCheckArchive UnlhaCheckArchive;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    return AttachBridge(instance, reason, {"sh", "timeout", "xargs", "jlha", "java"});
}

ARCHIVER_EXPORT int WINAPI Unlha(HWND window, LPCSTR line, LPSTR output, DWORD size)
{
    return RunBridgeCommand(window, line, output, size, TranslateUnlha);
}

// No UnlhaSetUnicodeMode: LZH headers carry no mark that readers agree on for
// UTF-8 names, and Japanese LZH readers take the name bytes as Shift_JIS, so
// jlha cannot store such names in a form they decode. Without the entry the
// program refuses those names for LHA and names the formats that can.

ARCHIVER_EXPORT WORD WINAPI UnlhaGetVersion() { return kBridgeVersion; }

namespace {

// lhasa ends with 0 even when it stops at a damaged header, or is given a
// file that is no archive: the archive is whole when its headers read to its
// end and lhasa reports every file in them tested (it says nothing of folders).
bool EveryFileTested(const std::string& archive, const CRunOutcome& outcome)
{
    std::vector<CArchiveEntry> entries;
    if (outcome.exitCode != 0 || !ReadLhaEntries(ProgramToWide(archive), &entries))
        return false;
    size_t files = 0;
    for (const CArchiveEntry& entry : entries)
        files += entry.folder ? 0 : 1;
    const std::string kTested = "\t- Tested\r\n";
    std::string text = TerminalText(outcome.output);
    size_t tested = 0;
    for (size_t at = text.find(kTested); at != std::string::npos; at = text.find(kTested, at + 1))
        ++tested;
    return tested == files;
}

}  // namespace

// The listing comes from the headers, read here as Unlha32.dll reads them.
// The test is lhasa's, which the host may lack: then the check fails and an
// archive is still made, since jlha alone makes it.
ARCHIVER_EXPORT HANDLE WINAPI UnlhaOpenArchive(HWND, LPCSTR file, DWORD)
{
    return OpenBridgeArchive(file, [](const std::string& archive, std::vector<CArchiveEntry>* entries) {
        return ReadLhaEntries(ProgramToWide(archive), entries);
    });
}

ARCHIVER_EXPORT int WINAPI UnlhaFindFirst(HANDLE archive, LPCSTR wildName, INDIVIDUALINFO* info)
{
    return FindFirstBridgeEntry(archive, wildName, info);
}

ARCHIVER_EXPORT int WINAPI UnlhaFindNext(HANDLE archive, INDIVIDUALINFO* info)
{
    return FindNextBridgeEntry(archive, info);
}

ARCHIVER_EXPORT BOOL WINAPI UnlhaGetOriginalSizeEx(HANDLE archive, __int64* size)
{
    return GetBridgeEntrySize(archive, size);
}

ARCHIVER_EXPORT int WINAPI UnlhaCloseArchive(HANDLE archive) { return CloseBridgeArchive(archive); }
// Self-extracting archives are not made here.
ARCHIVER_EXPORT int WINAPI UnlhaIsSFXFile(HANDLE) { return 0; }

ARCHIVER_EXPORT BOOL WINAPI UnlhaCheckArchive(LPCSTR file, int)
{
    return CheckBridgeArchive(file, "lhasa", {"t"}, EveryFileTested);
}
