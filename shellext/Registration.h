#pragma once

#include <string>

// The extension's registry layout, shared by the installer programs, the setup
// program (through the installer program) and the extension's own
// self-registration.

// Where the keys go. Classes is HKEY_CLASSES_ROOT as the program sees it (the
// installer's commands without a scope write there, which takes an
// administrator); CurrentUser is HKEY_CURRENT_USER\Software\Classes, for the
// user alone and without administrator rights; AllUsers is
// HKEY_LOCAL_MACHINE\Software\Classes. The explicit scopes always write the
// 64-bit view, whatever the bitness of the program that writes: the extension
// is a 64-bit DLL that Explorer reads there.
enum class ERegistrationScope
{
    Classes,
    CurrentUser,
    AllUsers,
};

// Writes every key and value, with folder (no trailing backslash) as the folder
// of the main program and of the extension. 1 when every key was created, 0 when
// one could not be (the keys written before it stay).
// The folder is taken wide: it may hold names beyond the ANSI code page.
int RegisterShellExtension(const std::wstring& folder, ERegistrationScope scope = ERegistrationScope::Classes);
// Removes the keys, each child before its parent; always 1.
int UnregisterShellExtension(ERegistrationScope scope = ERegistrationScope::Classes);
// 1 when the extension's class key exists.
int IsShellExtensionRegistered(ERegistrationScope scope = ERegistrationScope::Classes);
