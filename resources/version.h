#pragma once

// The release's version and notice: every binary's version resource and the
// settings dialog's version page show them. scripts/package.sh names the
// same version in the package's name and read-me.
#define TESSIK_VERSION_TEXT "1.12"
#define TESSIK_VERSION_NUMBERS 1, 12, 0, 0
#define TESSIK_PRODUCT_NAME "Tessik"
#define TESSIK_COMPANY_NAME "Norvane"
#define TESSIK_RIGHTS_NOTICE "Copyright (C) 2026 Norvane. All rights reserved."
