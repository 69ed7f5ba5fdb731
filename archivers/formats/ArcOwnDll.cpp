// The quoting of the own DLLs' command line.
#include "archivers/formats/ArcOwnDll.h"

std::string OwnDllQuoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
    {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}
