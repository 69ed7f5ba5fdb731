#pragma once

#include "ui/framework/SettingsPage.h"

#include <memory>

// The page of a format builder's page kind (archivers/PageRequest.h), not yet
// created; nullptr for a kind that has no page.
std::unique_ptr<CSettingsPage> MakeFormatPage(int pageKind);
