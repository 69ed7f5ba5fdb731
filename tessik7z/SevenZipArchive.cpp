// What a folder's header fields tell of its unpacked stream.
#include "tessik7z/SevenZipArchive.h"

size_t CSevenZipFolder::MainOutStream() const
{
    for (size_t out = 0; out < unpackSizes.size(); ++out)
    {
        bool bound = false;
        for (const CSevenZipBindPair& pair : bindPairs)
            bound = bound || pair.outIndex == out;
        if (!bound)
            return out;
    }
    return unpackSizes.size();
}

uint64_t CSevenZipFolder::UnpackSize() const
{
    size_t out = MainOutStream();
    return out < unpackSizes.size() ? unpackSizes[out] : 0;
}

size_t CSevenZipFolder::CoderOfOutStream(size_t out) const
{
    size_t first = 0;
    for (size_t coder = 0; coder < coders.size(); ++coder)
    {
        if (out - first < coders[coder].outStreams)
            return coder;
        first += coders[coder].outStreams;
    }
    return coders.size();
}

size_t CSevenZipFolder::FirstInStream(size_t coder) const
{
    size_t first = 0;
    for (size_t before = 0; before < coder && before < coders.size(); ++before)
        first += coders[before].inStreams;
    return first;
}

bool CSevenZipFolder::IsEncrypted() const
{
    for (const CSevenZipCoder& coder : coders)
        if (coder.method == kMethodAes)
            return true;
    return false;
}
