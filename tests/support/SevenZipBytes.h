#pragma once

#include <stddef.h>

#include <string>
#include <vector>

// 7z archives built byte by byte in a test: the files' data one after
// another in one folder of Copy (behind the x86 branch filter when asked),
// then a plain header. The numbers a row may change are written in their
// nine-byte form, so that a row can make one say what it likes without
// moving the bytes after it; ResealSevenZip then puts the CRCs right again
// where the row wants the reader's other checks to speak.

struct CSevenZipBytesEntry
{
    std::wstring name;
    std::string data;  // empty: an empty file, or a folder
    bool folder = false;
};

struct CSevenZipBytesLayout
{
    std::vector<CSevenZipBytesEntry> entries;
    bool bcj = false;  // the coders BCJ and Copy, joined by a bind pair
};

// Where the fields lie in the built bytes.
struct CSevenZipBytesMap
{
    size_t dataAt = 0;  // the packed stream
    size_t headerAt = 0;
    // Nine-byte numbers.
    size_t fileCountAt = 0;
    size_t packedSizeAt = 0;
    size_t unpackSizeAt = 0;     // of the folder's unbound out stream
    size_t firstFileSizeAt = 0;  // when the folder holds two files or more
    size_t bindInAt = 0;         // with bcj
    size_t methodAt = 0;         // the first coder's id
    size_t lastTerminatorAt = 0;  // the two zero bytes after the last name
};

std::string BuildSevenZipBytes(const CSevenZipBytesLayout& layout, CSevenZipBytesMap* map = nullptr);
// The header's CRC (when the start header points inside the file) and the
// start header's CRC over the bytes as they are now.
void ResealSevenZip(std::string* bytes);
// A 7z number in its nine-byte form (0xFF, then eight bytes) at at.
void PutSevenZipNumber(std::string* bytes, size_t at, unsigned long long value);
// CRC-32 as 7z takes it, worked out here bit by bit.
unsigned long SevenZipCrc(const std::string& data);

// size bytes of text that LZMA shrinks, though not to nothing.
std::string SevenZipTestText(size_t size);
// size bytes like x86 code: CALL, JMP and Jcc with targets inside them
// among other instructions, for the branch filters to convert.
std::string X86LikeBytes(size_t size);
