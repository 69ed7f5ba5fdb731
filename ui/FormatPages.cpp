#include "ui/FormatPages.h"

#include "archivers/PageRequest.h"
#include "ui/CabPage.h"
#include "ui/LhaPage.h"
#include "ui/SevenZipPages.h"
#include "ui/ZipPage.h"

std::unique_ptr<CSettingsPage> MakeFormatPage(int pageKind)
{
    switch (pageKind)
    {
    case kPageSevenZip:
        return std::unique_ptr<CSettingsPage>(new CSevenZipPage);
    case kPageSevenZipZip:
        return std::unique_ptr<CSettingsPage>(new CSevenZipZipPage);
    case kPageCab:
        return std::unique_ptr<CSettingsPage>(new CCabPage);
    case kPageLha:
        return std::unique_ptr<CSettingsPage>(new CLhaPage);
    case kPageZip:
        return std::unique_ptr<CSettingsPage>(new CZipPage);
    }
    return nullptr;
}
