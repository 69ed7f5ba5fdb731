#include "archivers/formats/Arc.h"

#include "common/TextConvert.h"

std::string CArc::JobText(const std::string& ansi) const
{
    return m_utf8Names ? WideToUtf8(AnsiToWide(ansi)) : ansi;
}
