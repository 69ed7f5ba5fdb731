#pragma once

#include <string>

// printf-style formatting into a string of whatever length the text needs.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
// 1234567 as "1,234,567": counts read at a glance.
std::string GroupedDigits(unsigned long long value);
