#pragma once

#include <string>

// "*" and "?" of a wild name against a name, as the Common Archiver API's
// FindFirst takes them: "*" spans separators, so "*" is every entry. The
// characters compare as they are; callers fold case and separators first.
bool MatchesWildName(const std::wstring& wild, const std::wstring& name);
