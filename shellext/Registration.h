#pragma once

#include <string>

// The extension's registry layout under HKEY_CLASSES_ROOT, shared by the
// installer program and the extension's own self-registration.

// Writes every key and value, with folder (no trailing backslash) as the folder
// of the main program and of the extension. 1 when every key was created, 0 when
// one could not be (the keys written before it stay).
// The folder is taken wide: it may hold names beyond the ANSI code page.
int RegisterShellExtension(const std::wstring& folder);
// Removes the keys, each child before its parent; always 1.
int UnregisterShellExtension();
// 1 when the extension's class key exists.
int IsShellExtensionRegistered();
