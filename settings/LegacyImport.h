#pragma once

// Imports of the two older settings layouts, recognised by their first line.
// Both move the old general settings into g_appSetting and append the old list
// of excluded extensions as a filter list. The file itself is not changed.

// "[tessik v0.01]": returns 1, or 0 when the file cannot be opened.
int ImportFirstLayout(const char* path);
// "[tessik v0.02]": returns 2, or 0 when the file cannot be opened.
int ImportSecondLayout(const char* path);

extern const char kFirstLayoutLine[];   // "[tessik v0.01]"
extern const char kSecondLayoutLine[];  // "[tessik v0.02]"
