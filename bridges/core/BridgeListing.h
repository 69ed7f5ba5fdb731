#pragma once

#include "bridges/core/ArchiveNames.h"
#include "bridges/core/HostSession.h"
#include "common/ArchiverApi.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

// The reading entries the bridges share: <Prefix>OpenArchive reads every
// entry once into the handle, FindFirst/FindNext walk them, CheckArchive runs
// the host's test of the archive. None of them throws: they are called
// across a DLL boundary.

// Reads the entries of the archive at this path (program text, as the
// caller gave it); false when it cannot be read.
typedef bool (*BridgeEntryReader)(const std::string& archive, std::vector<CArchiveEntry>* entries);
// Whether the host tool's test run found the archive whole.
typedef bool (*BridgeCheckVerdict)(const std::string& archive, const CRunOutcome& outcome);

// NULL when the file cannot be read as an archive of the bridge's format.
HANDLE OpenBridgeArchive(LPCSTR file, BridgeEntryReader read);
int CloseBridgeArchive(HANDLE archive);
// 0 with info filled in, -1 after the last entry that matches the wild name,
// kArchiverResultFailed for a handle that is not open or no info to fill.
int FindFirstBridgeEntry(HANDLE archive, LPCSTR wildName, INDIVIDUALINFO* info);
int FindNextBridgeEntry(HANDLE archive, INDIVIDUALINFO* info);
// The size of the entry found last; FALSE before the first one.
BOOL GetBridgeEntrySize(HANDLE archive, __int64* size);

// Runs the tool on the archive, the archive's path after the arguments, and
// asks the verdict; a tool that is missing or cannot run makes it FALSE.
BOOL CheckBridgeArchive(LPCSTR file, const char* tool, std::initializer_list<const char*> args,
                        BridgeCheckVerdict verdict);
// The verdict of a tool whose exit code says it all.
bool ToolSucceeded(const std::string& archive, const CRunOutcome& outcome);

// "7zz l -slt" of an archive (program text), the password on its standard
// input when there is one: true with the listing when 7zz read it.
bool ListWithSevenZip(CHostSession* session, const std::string& archive, const std::string& password,
                      std::string* listing);
