#pragma once

#include "tessik7z/SevenZipArchive.h"

#include <stdint.h>

#include <string>

// The bytes of a 7z header as the writer puts them down: the header of an
// archive, the short header that points to it once it is compressed, and
// the 32-byte signature header at the start of the file.

// kHeader: the streams (packed sizes, folders, the files' sizes and CRCs)
// and the files (names, empty streams and files, times, attributes).
std::string SevenZipHeader(const CSevenZipArchive& archive);
// kEncodedHeader: the header compressed as folder, its packed stream of
// packedSize bytes at packedPosition (counted as the archive's are).
std::string SevenZipEncodedHeader(uint64_t packedPosition, uint64_t packedSize, const CSevenZipFolder& folder);
std::string SevenZipSignatureHeader(uint64_t nextHeaderOffset, uint64_t nextHeaderSize, uint32_t nextHeaderCrc);

// The CRC-32 7z uses (that of ZIP).
uint32_t SevenZipCrc(const void* data, size_t size, uint32_t crc = 0);
