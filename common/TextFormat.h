#pragma once

#include <string>

// printf-style formatting into a string of whatever length the text needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
