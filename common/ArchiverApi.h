#pragma once

#include <windows.h>

// The Common Archiver API as the program's DLL bindings, the bridges and the
// test stand-ins all see it. A DLL exports its entries under its prefix
// ("SevenZip", "Zip", "Cab", "Unlha"): <Prefix> itself is the command entry,
// <Prefix>GetVersion and the rest follow it. These are function types: a
// binding holds a pointer to one (ArchiverCommand*), and a DLL declares each
// entry it exports with one before defining it, so that the definition
// cannot drift from what the bindings call.

#define ARCHIVER_EXPORT extern "C" __declspec(dllexport)

// <Prefix>: owner window, command line, output buffer and its size (the
// terminator counted) -> 0 for success, else an error code (below).
typedef int WINAPI ArchiverCommand(HWND window, LPCSTR commandLine, LPSTR output, DWORD outputSize);
// <Prefix>GetVersion: the version times 100 (431 for 4.31).
typedef WORD WINAPI ArchiverGetVersion();
// <Prefix>SetUnicodeMode, which not every DLL has: TRUE when it took the mode.
typedef BOOL WINAPI ArchiverSetUnicodeMode(BOOL on);
// <Prefix>OpenArchive: a handle of the open archive, NULL when it cannot.
typedef HANDLE WINAPI ArchiverOpenArchive(HWND window, LPCSTR fileName, DWORD mode);
// <Prefix>CloseArchive and <Prefix>IsSFXFile.
typedef int WINAPI ArchiverHandleQuery(HANDLE archive);
// <Prefix>CheckArchive: TRUE when the archive passed the check of that mode.
typedef BOOL WINAPI ArchiverCheckArchive(LPCSTR fileName, int mode);

// The check-archive mode that reads every entry and tests its CRC.
const int CHECKARCHIVE_FULLCRC = 2;

// One entry of an open archive as <Prefix>FindFirst and <Prefix>FindNext
// fill it in. The name is the stored path in the DLL's text (ANSI, or UTF-8
// in its UTF-8 mode); a folder entry's attribute text holds 'd' or its name
// ends in a separator. Sizes past 4 GiB come from <Prefix>GetOriginalSizeEx.
const int FNAME_MAX32 = 512;
struct INDIVIDUALINFO
{
    DWORD dwOriginalSize;
    DWORD dwCompressedSize;
    DWORD dwCRC;
    UINT uFlag;
    UINT uOSType;
    WORD wRatio;
    WORD wDate;
    WORD wTime;
    char szFileName[FNAME_MAX32 + 1];
    char dummy1[3];
    char szAttribute[8];
    char szMode[8];
};
// <Prefix>FindFirst (wild name "*" for every entry) and <Prefix>FindNext:
// 0 with the entry filled in, -1 after the last one, else an error code.
typedef int WINAPI ArchiverFindFirst(HANDLE archive, LPCSTR wildName, INDIVIDUALINFO* info);
typedef int WINAPI ArchiverFindNext(HANDLE archive, INDIVIDUALINFO* info);
// <Prefix>GetOriginalSizeEx: the original size of the entry found last.
typedef BOOL WINAPI ArchiverGetOriginalSizeEx(HANDLE archive, __int64* size);
// Zip32j.dll's ZipQueryEncryption (non-zero: it can encrypt) and
// ZipQueryFunctionList (non-zero: it has the function of that number).
typedef int WINAPI ArchiverQueryEncryption();
typedef int WINAPI ArchiverQueryFunctionList(int function);

// Results of the command entry.
const int kArchiverResultOk = 0;
const int kArchiverResultFailed = 0x8000;       // the work failed
const int kArchiverResultCommandName = 0x801C;  // a command or switch the DLL does not know
const int kArchiverResultUserCancel = 0x8020;   // the user cancelled the DLL's progress window
const int kArchiverResultNotSupported = 0x8023;  // a request the DLL cannot carry out
