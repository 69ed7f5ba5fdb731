#pragma once

#include <windows.h>

// The one class this server offers; the text form names its registry keys.
// {5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}
const CLSID kShellExtClassId = {0x5d0c3a71, 0x9b2e, 0x4f6a, {0x8c, 0x13, 0x2e, 0x7b, 0x94, 0xa0, 0xd6, 0xf5}};
#define TESSIK_SHELLEXT_CLSID_TEXT "{5D0C3A71-9B2E-4F6A-8C13-2E7B94A0D6F5}"
const char kShellExtClassIdText[] = TESSIK_SHELLEXT_CLSID_TEXT;
const char kShellExtClassKey[] = "CLSID\\" TESSIK_SHELLEXT_CLSID_TEXT;

// Value of the class key that holds the main program's full path.
const char kProgramPathValue[] = "tessik_path";
