// 7z archives built byte by byte for the tests of the 7z reader.
#include "tests/support/SevenZipBytes.h"

namespace {

const size_t kSignatureHeaderSize = 32;

void PutFixed(std::string* bytes, unsigned long long value, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        bytes->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void SetFixed(std::string* bytes, size_t at, unsigned long long value, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

unsigned long long GetFixed(const std::string& bytes, size_t at, size_t width)
{
    unsigned long long value = 0;
    for (size_t i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Numbers below 0x80 take one byte; those a row patches take nine.
void PutByte(std::string* bytes, unsigned value) { bytes->push_back(static_cast<char>(value)); }

size_t PutWide(std::string* bytes, unsigned long long value)
{
    size_t at = bytes->size();
    bytes->append(9, '\0');
    PutSevenZipNumber(bytes, at, value);
    return at;
}

// A bit per item, the first in the highest bit.
std::string Bits(const std::vector<bool>& bits)
{
    std::string bytes((bits.size() + 7) / 8, '\0');
    for (size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            bytes[i / 8] = static_cast<char>(bytes[i / 8] | (0x80 >> (i % 8)));
    return bytes;
}

void PutProperty(std::string* header, unsigned id, const std::string& data)
{
    PutByte(header, id);
    PutWide(header, data.size());
    *header += data;
}

}  // namespace

void PutSevenZipNumber(std::string* bytes, size_t at, unsigned long long value)
{
    (*bytes)[at] = static_cast<char>(0xFF);
    SetFixed(bytes, at + 1, value, 8);
}

unsigned long SevenZipCrc(const std::string& data)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (unsigned char byte : data)
    {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320UL & (0UL - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFUL;
}

std::string BuildSevenZipBytes(const CSevenZipBytesLayout& layout, CSevenZipBytesMap* map)
{
    CSevenZipBytesMap local;
    CSevenZipBytesMap* at = map != nullptr ? map : &local;
    std::string data;
    std::vector<const CSevenZipBytesEntry*> streams;
    std::vector<bool> emptyStream;
    std::vector<bool> emptyFile;
    bool anyEmpty = false;
    for (const CSevenZipBytesEntry& entry : layout.entries)
    {
        bool empty = entry.folder || entry.data.empty();
        emptyStream.push_back(empty);
        anyEmpty = anyEmpty || empty;
        if (empty)
            emptyFile.push_back(!entry.folder);
        else
        {
            streams.push_back(&entry);
            data += entry.data;
        }
    }
    std::string bytes(kSignatureHeaderSize, '\0');
    at->dataAt = bytes.size();
    bytes += data;
    std::string header;
    PutByte(&header, 0x01);  // kHeader
    if (!streams.empty())
    {
        size_t base = bytes.size();
        PutByte(&header, 0x04);  // kMainStreamsInfo
        PutByte(&header, 0x06);  // kPackInfo: at 0, one stream
        PutByte(&header, 0x00);
        PutByte(&header, 0x01);
        PutByte(&header, 0x09);
        at->packedSizeAt = base + PutWide(&header, data.size());
        PutByte(&header, 0x00);
        PutByte(&header, 0x07);  // kUnpackInfo: one folder, not external
        PutByte(&header, 0x0B);
        PutByte(&header, 0x01);
        PutByte(&header, 0x00);
        PutByte(&header, layout.bcj ? 2 : 1);
        if (layout.bcj)
        {
            PutByte(&header, 0x04);  // an id of four bytes: BCJ
            at->methodAt = base + header.size();
            header += std::string("\x03\x03\x01\x03", 4);
            PutByte(&header, 0x01);  // Copy
            PutByte(&header, 0x00);
            // BCJ's in stream takes Copy's out stream; Copy's in stream is
            // the packed one.
            at->bindInAt = base + PutWide(&header, 0);
            PutByte(&header, 0x01);
        }
        else
        {
            PutByte(&header, 0x01);
            at->methodAt = base + header.size();
            PutByte(&header, 0x00);
        }
        PutByte(&header, 0x0C);  // kCodersUnpackSize
        at->unpackSizeAt = base + PutWide(&header, data.size());
        if (layout.bcj)
            PutWide(&header, data.size());
        PutByte(&header, 0x0A);  // kCRC, all defined
        PutByte(&header, 0x01);
        PutFixed(&header, SevenZipCrc(data), 4);
        PutByte(&header, 0x00);
        if (streams.size() > 1)
        {
            PutByte(&header, 0x08);  // kSubStreamsInfo
            PutByte(&header, 0x0D);
            PutWide(&header, streams.size());
            PutByte(&header, 0x09);
            for (size_t i = 0; i + 1 < streams.size(); ++i)
            {
                size_t sizeAt = PutWide(&header, streams[i]->data.size());
                if (i == 0)
                    at->firstFileSizeAt = base + sizeAt;
            }
            PutByte(&header, 0x0A);
            PutByte(&header, 0x01);
            for (const CSevenZipBytesEntry* stream : streams)
                PutFixed(&header, SevenZipCrc(stream->data), 4);
            PutByte(&header, 0x00);
        }
        PutByte(&header, 0x00);
    }
    PutByte(&header, 0x05);  // kFilesInfo
    at->fileCountAt = bytes.size() + PutWide(&header, layout.entries.size());
    if (anyEmpty)
    {
        PutProperty(&header, 0x0E, Bits(emptyStream));
        PutProperty(&header, 0x0F, Bits(emptyFile));
    }
    std::string names(1, '\0');  // not external
    for (const CSevenZipBytesEntry& entry : layout.entries)
    {
        for (wchar_t unit : entry.name)
            PutFixed(&names, static_cast<unsigned>(unit), 2);
        PutFixed(&names, 0, 2);
    }
    PutProperty(&header, 0x11, names);
    at->lastTerminatorAt = bytes.size() + header.size() - 2;
    PutByte(&header, 0x00);
    PutByte(&header, 0x00);
    at->headerAt = bytes.size();
    bytes += header;
    bytes.replace(0, 8, std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8));
    SetFixed(&bytes, 12, at->headerAt - kSignatureHeaderSize, 8);
    SetFixed(&bytes, 20, header.size(), 8);
    ResealSevenZip(&bytes);
    return bytes;
}

void ResealSevenZip(std::string* bytes)
{
    unsigned long long offset = GetFixed(*bytes, 12, 8);
    unsigned long long size = GetFixed(*bytes, 20, 8);
    unsigned long long room = bytes->size() - kSignatureHeaderSize;
    if (offset <= room && size <= room - offset)
    {
        size_t at = static_cast<size_t>(kSignatureHeaderSize + offset);
        std::string header = bytes->substr(at, static_cast<size_t>(size));
        SetFixed(bytes, 28, SevenZipCrc(header), 4);
    }
    SetFixed(bytes, 8, SevenZipCrc(bytes->substr(12, 20)), 4);
}

std::string SevenZipTestText(size_t size)
{
    static const char* const kWords[] = {"archive ", "folder ", "stream ", "coder ", "header ", "\r\n", "7z ", "data "};
    std::string text;
    unsigned long seed = 7;
    while (text.size() < size)
    {
        seed = seed * 1103515245UL + 12345UL;
        text += kWords[(seed >> 16) % 8];
        if ((seed >> 24) % 5 == 0)
            text += std::to_string(seed % 100000);
    }
    text.resize(size);
    return text;
}

std::string X86LikeBytes(size_t size)
{
    std::string code;
    unsigned long seed = 11;
    while (code.size() < size)
    {
        seed = seed * 1103515245UL + 12345UL;
        unsigned long pick = seed >> 16;
        long target = static_cast<long>((pick * 2654435761UL) % (size + 1));
        switch (pick % 5)
        {
        case 0:
            code.push_back('\xE8');
            break;
        case 1:
            code.push_back('\xE9');
            break;
        case 2:
            code += "\x0F\x85";
            break;
        default:
            // mov eax, [ebp+n]; push eax: nothing a filter touches.
            code += std::string("\x8B\x45", 2);
            code.push_back(static_cast<char>(pick & 0x7F));
            code.push_back('\x50');
            continue;
        }
        long relative = target - static_cast<long>(code.size() + 4);
        PutFixed(&code, static_cast<unsigned long long>(relative), 4);
    }
    code.resize(size);
    return code;
}
