#pragma once

#include <windows.h>

#include <stddef.h>

// The ZIP format's constants and field layouts, once for its reader
// (ZipDirectory), its writer and its checker. Offsets are into a record,
// from its signature; every field is little-endian.

namespace zipformat {

// Signatures, as the four bytes stand in the file.
const char kLocalSignature[] = "PK\x03\x04";
const char kCentralSignature[] = "PK\x01\x02";
const char kEndSignature[] = "PK\x05\x06";
const char kZip64EndSignature[] = "PK\x06\x06";
const char kZip64LocatorSignature[] = "PK\x06\x07";
// Begins a data descriptor; and, at the very start of a file, the first
// part of a split set (APPNOTE 8.5.3).
const char kDescriptorSignature[] = "PK\x07\x08";
// A split set of one part that was never split (APPNOTE 8.5.4).
const char kSingleSplitSignature[] = "PK00";
const size_t kSignatureSize = 4;

// Local header: 30 bytes, then the name and the extra field.
const size_t kLocalHeaderSize = 30;
const size_t kLocalFlagsAt = 6;
const size_t kLocalMethodAt = 8;
const size_t kLocalCrcAt = 14;
const size_t kLocalPackedAt = 18;
const size_t kLocalSizeAt = 22;
const size_t kLocalNameLengthAt = 26;
const size_t kLocalExtraLengthAt = 28;

// Central directory record: 46 bytes, then name, extra field and comment.
const size_t kCentralRecordSize = 46;
const size_t kCentralVersionNeededAt = 6;
const size_t kCentralFlagsAt = 8;
const size_t kCentralMethodAt = 10;
const size_t kCentralTimeAt = 12;
const size_t kCentralDateAt = 14;
const size_t kCentralCrcAt = 16;
const size_t kCentralPackedAt = 20;
const size_t kCentralSizeAt = 24;
const size_t kCentralNameLengthAt = 28;
const size_t kCentralExtraLengthAt = 30;
const size_t kCentralCommentLengthAt = 32;
const size_t kCentralDiskAt = 34;
const size_t kCentralExternalAttributesAt = 38;
const size_t kCentralLocalAt = 42;

// End of central directory record: 22 bytes, then the archive comment.
const size_t kEndRecordSize = 22;
const size_t kEndDiskAt = 4;
const size_t kEndDirectoryDiskAt = 6;
const size_t kEndDiskEntriesAt = 8;
const size_t kEndEntriesAt = 10;
const size_t kEndDirectorySizeAt = 12;
const size_t kEndDirectoryAt = 16;
const size_t kEndCommentLengthAt = 20;
const size_t kMaxComment = 0xFFFF;

// ZIP64 end record: 56 bytes at the least (its size field counts from
// byte 12), then data of its own that readers skip.
const size_t kZip64EndRecordSize = 56;
const size_t kZip64EndRemainderAt = 4;
const size_t kZip64EndDiskAt = 16;
const size_t kZip64EndDirectoryDiskAt = 20;
const size_t kZip64EndEntriesAt = 32;
const size_t kZip64EndDirectorySizeAt = 40;
const size_t kZip64EndDirectoryAt = 48;
// ZIP64 end locator: 20 bytes right before the end record.
const size_t kZip64LocatorSize = 20;
const size_t kZip64LocatorDiskAt = 4;
const size_t kZip64LocatorRecordAt = 8;
const size_t kZip64LocatorDisksAt = 16;

// A 32-bit size or offset of 0xFFFFFFFF (a 16-bit count or disk of 0xFFFF)
// says that the ZIP64 field or record holds the value.
const unsigned long kEscape32 = 0xFFFFFFFFUL;
const unsigned kEscape16 = 0xFFFF;

// Extra fields: id and length (16 bits each), then the data.
const size_t kExtraHeaderSize = 4;
const unsigned kExtraZip64 = 0x0001;
const unsigned kExtraNtfs = 0x000A;
const unsigned kExtraTimestamp = 0x5455;
const unsigned kExtraAes = 0x9901;

// General purpose flag bits.
const unsigned kFlagEncrypted = 0x0001;
const unsigned kFlagDescriptor = 0x0008;
const unsigned kFlagStrongEncryption = 0x0040;
const unsigned kFlagUtf8 = 0x0800;

// Methods.
const unsigned kMethodStored = 0;
const unsigned kMethodDeflated = 8;
const unsigned kMethodAes = 99;

// Data descriptor: signature (optional), CRC, then both sizes in 4 bytes
// each, or 8 each for an entry that carries a ZIP64 field.
const size_t kDescriptorSize32 = 12;
const size_t kDescriptorSize64 = 20;

}  // namespace zipformat
