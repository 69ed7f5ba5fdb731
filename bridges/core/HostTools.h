#pragma once

#include <string>

// The host side as seen from inside Wine: its paths and its programs.

// The host (Unix) path of a Windows path, as UTF-8; empty when Wine cannot
// map it (the parent folder must exist).
std::string ToHostPath(const std::string& windowsPath);
// The Windows path of a host path; empty when it cannot be mapped.
std::wstring ToWindowsPath(const std::string& hostPath);
bool HostFileExists(const std::string& hostPath);

// A host program by name: the path in TESSIK_HOST_<NAME> (upper case, for
// example TESSIK_HOST_7ZZ) when set, else the first of /usr/local/bin,
// /usr/bin and /bin that holds it. Wine does not search the host's PATH.
std::string FindHostTool(const std::string& name);

// Seconds a tool may run before it is ended: TESSIK_HOST_BOUND_SECONDS when set,
// else four hours, so that even a very large archive is not cut short.
unsigned HostTimeoutSeconds();
