#include "common/StringSplitter.h"

#include <string.h>

int CStringSplitter::Split(const char* text, char separator)
{
    size_t length = strlen(text);
    m_copy.assign(text, text + length + 1);
    m_pieces.clear();
    m_pieces.push_back(0);
    for (size_t i = 0; i < length; ++i)
    {
        if (m_copy[i] == separator)
        {
            m_copy[i] = '\0';
            m_pieces.push_back(i + 1);
        }
    }
    return GetCount();
}

int CStringSplitter::GetPiece(int index, char* buffer, size_t size) const
{
    if (index < 0 || index >= GetCount())
        return -1;
    const char* piece = &m_copy[m_pieces[index]];
    size_t length = strlen(piece);
    if (length >= size)
        return -1;
    memcpy(buffer, piece, length + 1);
    return index;
}
