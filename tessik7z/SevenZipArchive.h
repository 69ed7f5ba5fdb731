#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

// What a 7z archive's header says, as the writer makes it and the reader
// reads it back: the packed streams after the signature header, the folders
// (each a chain of coders that turns some of the packed streams into one
// unpacked stream, cut into the files it holds), and the files in order.

// Property ids of the header, as 7z numbers them.
namespace sevenzipid {
enum : uint64_t
{
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kFilesInfo = 0x05,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kNumUnpackStream = 0x0D,
    kEmptyStream = 0x0E,
    kEmptyFile = 0x0F,
    kAnti = 0x10,
    kName = 0x11,
    kCTime = 0x12,
    kATime = 0x13,
    kMTime = 0x14,
    kWinAttributes = 0x15,
    kEncodedHeader = 0x17,
    kStartPos = 0x18,
    kDummy = 0x19,
};
}  // namespace sevenzipid

// Method ids as 7z spells them, most significant byte first.
const uint64_t kMethodCopy = 0x00;
const uint64_t kMethodLzma2 = 0x21;
const uint64_t kMethodLzma = 0x030101;
const uint64_t kMethodBcj = 0x03030103;    // x86 branch filter
const uint64_t kMethodBcj2 = 0x0303011B;   // four streams in, one out
const uint64_t kMethodAes = 0x06F10701;    // AES-256 + SHA-256

struct CSevenZipCoder
{
    uint64_t method = 0;
    std::string properties;
    uint32_t inStreams = 1;  // packed side
    uint32_t outStreams = 1;  // unpacked side
};

// Joins the in stream inIndex of one coder to the out stream outIndex of
// another (indices over the folder's streams, coders in order).
struct CSevenZipBindPair
{
    uint64_t inIndex = 0;
    uint64_t outIndex = 0;
};

struct CSevenZipFolder
{
    // In the order the header lists them; the first coder's out stream is
    // the folder's unpacked stream unless bind pairs say otherwise.
    std::vector<CSevenZipCoder> coders;
    std::vector<CSevenZipBindPair> bindPairs;
    // The folder's in streams that come from packed streams, in the order
    // of the packed streams (which start at firstPackedStream).
    std::vector<uint64_t> packedInStreams;
    size_t firstPackedStream = 0;  // index into CSevenZipArchive::packedSizes
    // One size per out stream of every coder, in coder order.
    std::vector<uint64_t> unpackSizes;
    bool hasCrc = false;  // of the unpacked stream
    uint32_t crc = 0;
    // The files whose data the folder holds, one after another.
    uint64_t streamCount = 1;

    // The size of the folder's unpacked stream: that of the out stream no
    // bind pair takes.
    uint64_t UnpackSize() const;
    // The index among the out streams of the one no bind pair takes (the
    // first such); unpackSizes.size() when there is none.
    size_t MainOutStream() const;
    // The coder whose out streams include out (coders.size() when out is
    // past them all), and the index of a coder's first in stream.
    size_t CoderOfOutStream(size_t out) const;
    size_t FirstInStream(size_t coder) const;
    // A coder of the chain is AES: the data needs a password.
    bool IsEncrypted() const;
};

struct CSevenZipEntry
{
    std::wstring name;  // '/' between the parts, as 7z stores it ('\\' is read as '/')
    bool hasStream = true;  // false for folders and empty files
    bool directory = false;
    bool anti = false;
    uint64_t size = 0;
    bool hasCrc = false;
    uint32_t crc = 0;
    bool hasModified = false;
    FILETIME modified = {};
    bool hasAttributes = false;
    uint32_t attributes = 0;  // the low 16 bits as Windows has them
    // Where the data lies, for an entry with a stream: the folder and its
    // place among the folder's streams.
    size_t folder = 0;
    size_t streamInFolder = 0;
};

struct CSevenZipArchive
{
    // Offset of the first packed stream from the end of the 32-byte
    // signature header.
    uint64_t packedPosition = 0;
    std::vector<uint64_t> packedSizes;
    std::vector<CSevenZipFolder> folders;
    std::vector<CSevenZipEntry> entries;
};
