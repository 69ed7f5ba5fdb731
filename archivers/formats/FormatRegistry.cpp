#include "archivers/formats/FormatRegistry.h"

#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/Arc7ZipSfx.h"
#include "archivers/formats/Arc7ZipZip.h"
#include "archivers/formats/ArcCab.h"
#include "archivers/formats/ArcCabSfx.h"
#include "archivers/formats/ArcLha.h"
#include "archivers/formats/ArcLhaSfx.h"
#include "archivers/formats/ArcTessik7z.h"
#include "archivers/formats/ArcTessikZip.h"
#include "archivers/formats/ArcZip.h"
#include "archivers/formats/ArcZipSfx.h"

#include "archivers/dlls/ArchiverDll.h"

#include <string.h>

#include <memory>

namespace {

CFormatRegistry s_formats;

// The DLLs the builders probe; the three 7-Zip32 builders, two of each other
// family but the own DLLs' (one builder each), and the self-extracting module
// check all bind the same DLL. Zip32j.dll
// works through zip32.dll, which its binding looks for at every load.
const char* const kArchiverDlls[] = {"7-Zip32.dll", "TessikZip.dll", "Cab32.dll",   "Unlha32.dll",
                                     "Zip32j.dll",  "zip32.dll",     "Tessik7z.dll"};

// The program's own formats, in the order they are proposed when no other
// format is in use.
const int kOwnFormatIds[] = {kOwnZipFormatId, kOwnSevenZipFormatId};

bool IsOwnFormat(int id)
{
    for (int own : kOwnFormatIds)
        if (own == id)
            return true;
    return false;
}

void Register(std::unique_ptr<CArc> builder)
{
    if (builder->Init() != 0)
    {
        int id = builder->GetId();
        s_formats[id] = std::move(builder);
    }
}

}  // namespace

int RegisterAllFormats()
{
    DestroyAllFormats();
    // Each builder loads its DLL and releases it again, so a DLL was mapped
    // and started up to four times (a bridge looks for its host tools each
    // time). Held here for the probes, each DLL starts once, and a missing
    // one is searched for once; released after them, nothing stays loaded
    // beyond the probes, as before.
    CDllProbe probe(kArchiverDlls, sizeof(kArchiverDlls) / sizeof(kArchiverDlls[0]));
    Register(std::unique_ptr<CArc>(new CArc7Zip));
    Register(std::unique_ptr<CArc>(new CArc7ZipSfx));
    Register(std::unique_ptr<CArc>(new CArc7ZipZip));
    Register(std::unique_ptr<CArc>(new CArcTessikZip));
    Register(std::unique_ptr<CArc>(new CArcCab));
    Register(std::unique_ptr<CArc>(new CArcCabSfx));
    Register(std::unique_ptr<CArc>(new CArcLha));
    Register(std::unique_ptr<CArc>(new CArcLhaSfx));
    Register(std::unique_ptr<CArc>(new CArcZip));
    Register(std::unique_ptr<CArc>(new CArcZipSfx));
    Register(std::unique_ptr<CArc>(new CArcTessik7z));
    return static_cast<int>(s_formats.size());
}

void DestroyAllFormats()
{
    s_formats.clear();
}

int FindFormatIdByName(const char* name)
{
    for (CFormatRegistry::const_iterator entry = s_formats.begin(); entry != s_formats.end(); ++entry)
        if (strcmp(entry->second->GetName(), name) == 0)
            return entry->first;
    return -1;
}

const CFormatRegistry& GetFormatRegistry()
{
    return s_formats;
}

CArc* FindFormat(int id)
{
    CFormatRegistry::const_iterator entry = s_formats.find(id);
    return entry == s_formats.end() ? nullptr : entry->second.get();
}

int FindFirstUsedFormatId()
{
    for (CFormatRegistry::const_iterator entry = s_formats.begin(); entry != s_formats.end(); ++entry)
        if (!IsOwnFormat(entry->first) && entry->second->IsUsed())
            return entry->first;
    for (int id : kOwnFormatIds)
    {
        CArc* own = FindFormat(id);
        if (own != nullptr && own->IsUsed())
            return id;
    }
    return -1;
}
