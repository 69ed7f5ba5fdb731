#include "ui/settingsdialog/FormatPages.h"

#include "archivers/formats/PageRequest.h"
#include "ui/settingsdialog/CabPage.h"
#include "ui/settingsdialog/LhaPage.h"
#include "ui/settingsdialog/SevenZipPages.h"
#include "ui/settingsdialog/Tessik7zPage.h"
#include "ui/settingsdialog/TessikZipPage.h"
#include "ui/settingsdialog/ZipPage.h"

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
    case kPageTessikZip:
        return std::unique_ptr<CSettingsPage>(new CTessikZipPage);
    case kPageTessik7z:
        return std::unique_ptr<CSettingsPage>(new CTessik7zPage);
    }
    return nullptr;
}
