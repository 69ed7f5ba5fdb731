#pragma once

#include <stddef.h>
#include <string>
#include <vector>

// Splits a copy of a text at a separator byte (byte-wise: the program splits only
// at ",", which is never the trail byte of a Shift_JIS character).
class CStringSplitter
{
public:
    int Split(const char* text, char separator);
    int GetCount() const { return static_cast<int>(m_pieces.size()); }
    // Copies piece `index` into buffer; returns index, or -1 when there is no such
    // piece or the buffer cannot hold it with its terminator.
    int GetPiece(int index, char* buffer, size_t size) const;

private:
    std::vector<char> m_copy;
    std::vector<size_t> m_pieces;  // offsets into m_copy
};
