#include "archivers/formats/Arc.h"

#include "common/TextConvert.h"
#include "settings/CompressJob.h"

std::string CArc::JobText(const std::string& ansi) const
{
    return Utf8Names() ? WideToUtf8(AnsiToWide(ansi)) : ansi;
}

bool CArc::Utf8Names() const
{
    return m_job != nullptr && m_job->Utf8Names;
}
