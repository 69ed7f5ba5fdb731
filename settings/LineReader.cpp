#include "settings/LineReader.h"

#include "common/ShiftJis.h"

#include <string.h>

bool ReadWholeLine(CTextFile& file, std::string* line)
{
    line->clear();
    char piece[2048];
    while (file.ReadLine(piece, sizeof(piece)) != NULL)
    {
        size_t length = strlen(piece);
        line->append(piece, length);
        if (length > 0 && piece[length - 1] == '\n')
            return true;
    }
    return !line->empty();
}

bool ReadTrimmedLine(CTextFile& file, std::string* line, size_t maxLength)
{
    if (!ReadWholeLine(file, line))
        return false;
    if (!line->empty() && line->back() == '\n')
        line->pop_back();
    if (line->size() > maxLength)
    {
        // Cut before a double-byte character that would not fit whole.
        line->resize(WholeCharPrefixLength(line->c_str(), maxLength));
    }
    return true;
}
