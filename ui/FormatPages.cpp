#include "ui/FormatPages.h"

std::unique_ptr<CSettingsPage> MakeFormatPage(int pageKind)
{
    return nullptr;
}
