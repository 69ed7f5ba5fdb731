#include "archivers/formats/FormatRegistry.h"

#include "archivers/formats/Arc7Zip.h"
#include "archivers/formats/Arc7ZipSfx.h"
#include "archivers/formats/Arc7ZipZip.h"
#include "archivers/formats/ArcCab.h"
#include "archivers/formats/ArcCabSfx.h"
#include "archivers/formats/ArcLha.h"
#include "archivers/formats/ArcLhaSfx.h"
#include "archivers/formats/ArcZip.h"
#include "archivers/formats/ArcZipSfx.h"

#include <string.h>

namespace {

CFormatRegistry s_formats;

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
    Register(std::unique_ptr<CArc>(new CArc7Zip));
    Register(std::unique_ptr<CArc>(new CArc7ZipSfx));
    Register(std::unique_ptr<CArc>(new CArc7ZipZip));
    Register(std::unique_ptr<CArc>(new CArcCab));
    Register(std::unique_ptr<CArc>(new CArcCabSfx));
    Register(std::unique_ptr<CArc>(new CArcLha));
    Register(std::unique_ptr<CArc>(new CArcLhaSfx));
    Register(std::unique_ptr<CArc>(new CArcZip));
    Register(std::unique_ptr<CArc>(new CArcZipSfx));
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
        if (entry->second->IsUsed())
            return entry->first;
    return -1;
}
