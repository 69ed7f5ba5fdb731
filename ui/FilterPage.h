#pragma once

#include "ui/SettingsPage.h"

#include <memory>

// The filter page of the settings dialog, not yet created.
std::unique_ptr<CSettingsPage> MakeFilterPage();
