#pragma once

#include <string>

// Appends the regular expression that a wildcard pattern stands for: "*" becomes
// ".*", "?" becomes ".", the characters $ ( ) + - . [ \ ] ^ { | } are escaped and
// the second byte of a Shift_JIS character is copied as it is. Returns 1.
int WildcardToRegex(const char* pattern, std::string* regex);

// Appends text with every half-width letter turned into a bracket of its two
// cases, capital first ("a" and "A" both become "[Aa]"). Shift_JIS characters and
// full-width letters are copied as they are. Returns 1.
int FoldAlphabetCase(const char* text, std::string* folded);
