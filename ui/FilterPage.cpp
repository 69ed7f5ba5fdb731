#include "ui/FilterPage.h"

std::unique_ptr<CSettingsPage> MakeFilterPage()
{
    return nullptr;
}
