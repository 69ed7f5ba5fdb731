#pragma once

#include "archivers/formats/Arc.h"

#include <map>
#include <memory>

// The available format builders by id (0, 1, 2, 4 to 9), in ascending id order.
typedef std::map<int, std::unique_ptr<CArc>> CFormatRegistry;

// Creates the nine builders, keeps those whose Init succeeds and returns how
// many were kept. Replaces any builders registered before.
int RegisterAllFormats();
void DestroyAllFormats();
// Id of the registered builder with exactly this name (case-sensitive), or -1.
int FindFormatIdByName(const char* name);

const CFormatRegistry& GetFormatRegistry();
// The registered builder of that id, nullptr when there is none.
CArc* FindFormat(int id);
// The registered format with the lowest id whose IsUsed is non-zero, or -1.
int FindFirstUsedFormatId();
