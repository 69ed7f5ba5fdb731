#pragma once

#include "archivers/formats/Arc.h"

#include <map>
#include <memory>

// The available format builders by id (0 to 10), in ascending id order.
typedef std::map<int, std::unique_ptr<CArc>> CFormatRegistry;

// TZIP, through the program's own TessikZip.dll.
const int kOwnZipFormatId = 3;
// T7Z, through the program's own Tessik7z.dll.
const int kOwnSevenZipFormatId = 10;

// Creates the eleven builders, keeps those whose Init succeeds and returns how
// many were kept. Replaces any builders registered before.
int RegisterAllFormats();
void DestroyAllFormats();
// Id of the registered builder with exactly this name (case-sensitive), or -1.
int FindFormatIdByName(const char* name);

const CFormatRegistry& GetFormatRegistry();
// The registered builder of that id, nullptr when there is none.
CArc* FindFormat(int id);
// The registered format with the lowest id whose IsUsed is non-zero, or -1.
// The own formats only when no other format is in use, TZIP before T7Z: a
// machine with archiver DLLs of its own keeps the default it always had, and
// the program alone proposes the ZIP it always did.
int FindFirstUsedFormatId();
