#pragma once

#include <windows.h>

#include <string>

// What the command entry writes into the caller's buffer. Each text names
// one reason; %s stands for the path, name or switch it is about.
enum class EDllFailure
{
    kNone,
    kBadCommandLine,  // %s: the line
    kUnknownCommand,  // %s: the command
    kUnknownSwitch,   // %s: the switch
    kNoArchive,
    kNoList,
    kListUnreadable,   // %s: the list file
    kOutsideBase,      // %s: the line
    kSourceMissing,    // %s: the file or folder
    kSourceUnreadable,  // %s: the file
    kSourceChanged,     // %s: the file
    kNothingToAdd,
    kNotZip,            // %s: the archive
    kNotSevenZip,       // %s: the archive
    kArchiveUnreadable,  // %s: the archive
    kArchiveDamaged,     // %s: the archive
    kArchiveSplit,       // %s: the archive
    kArchiveUnsupported,  // %s: the archive
    kArchiveEncrypted,    // %s: the archive
    kArchiveInUse,       // %s: the archive
    kTempFailed,         // %s: the archive's folder
    kWriteFailed,        // %s: the archive
    kReplaceFailed,      // %s: the archive
    kCryptoFailed,
    kCodecFailed,
    kHeaderWithoutPassword,
    kPasswordNotAnsi,
    kCancelled,
    kNoMemory,
    kUnexpected,
};

// The text of a failure, with subject in place of its %s, and on a line of
// its own the system's text of systemError when there is one (a full disk).
std::wstring DllFailureText(EDllFailure failure, const std::wstring& subject, DWORD systemError = 0);
// The text of success: how many files were stored into which archive.
std::wstring DllSuccessText(size_t files, size_t folders, const std::wstring& archive);
