#pragma once

// Makes sure g_appSetting names a format that is registered and in use, after
// LoadSettings (whose result is settingsLoaded). The replacement is the lowest
// registered id in use. When a settings file was read and its format was
// unusable, an error message (no owner) names the replacement; otherwise the
// replacement is silent. Returns the default format id, -1 when no format is
// in use at all.
int CheckDefaultFormat(bool settingsLoaded);
