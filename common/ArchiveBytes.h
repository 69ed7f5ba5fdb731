#pragma once

#include <windows.h>

#include <string>

// Little-endian fields of the archive headers the name readers take apart;
// the caller has made sure the bytes are there.

inline unsigned Get16(const std::string& b, size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

inline unsigned long Get32(const std::string& b, size_t at)
{
    return Get16(b, at) | static_cast<unsigned long>(Get16(b, at + 2)) << 16;
}

inline ULONGLONG Get64(const std::string& b, size_t at)
{
    return Get32(b, at) | static_cast<ULONGLONG>(Get32(b, at + 4)) << 32;
}
