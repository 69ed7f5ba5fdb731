#include "tests/support/OneEntryZip.h"

#include "tessikzip/ZipEncryption.h"

#include <zlib.h>

namespace {

void Put(std::string* b, unsigned long value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// zlib's stream without its 2-byte header and 4-byte checksum is raw Deflate.
std::string RawDeflate(const std::string& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), 6);
    return out.substr(2, size - 6);
}

}  // namespace

std::string MakeOneEntryZip(const std::string& name, const std::string& data, bool deflate, ETestCipher cipher,
                            const std::string& password)
{
    const unsigned long kDate = (44 << 9) | (1 << 5) | 1;  // 2024-01-01
    unsigned long crc = crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    unsigned actualMethod = deflate ? 8 : 0;
    std::string payload = deflate ? RawDeflate(data) : data;
    std::unique_ptr<CEntryEncryptor> encryptor;
    std::string extra;
    unsigned long method = actualMethod;
    unsigned long storedCrc = crc;
    if (cipher == ETestCipher::ZipCrypto)
        encryptor = MakeZipCryptoEncryptor(password, static_cast<unsigned char>(crc >> 24));
    else
    {
        encryptor = MakeAesEncryptor(password);
        AppendAesExtraField(static_cast<WORD>(actualMethod), &extra);
        method = 99;
        storedCrc = 0;
    }
    std::string header, trailer;
    if (!encryptor || !encryptor->Begin(&header))
        return std::string();
    // Uneven pieces, as a writer hands over its blocks.
    const size_t kPiece = 4099;
    for (size_t at = 0; at < payload.size(); at += kPiece)
        encryptor->Transform(reinterpret_cast<unsigned char*>(&payload[at]),
                             payload.size() - at < kPiece ? payload.size() - at : kPiece);
    if (!encryptor->End(&trailer))
        return std::string();
    payload = header + payload + trailer;
    const unsigned long flags = 1;  // encrypted
    unsigned long version = cipher == ETestCipher::Aes ? 51 : 20;
    // Version, flags, method, time, date, CRC, sizes, name and extra lengths.
    auto common = [&](std::string* b) {
        for (unsigned long field : {version, flags, method, 0UL, kDate})
            Put(b, field, 2);
        for (unsigned long field : {storedCrc, static_cast<unsigned long>(payload.size()), static_cast<unsigned long>(data.size())})
            Put(b, field, 4);
        Put(b, name.size(), 2);
        Put(b, extra.size(), 2);
    };
    std::string zip("PK\x03\x04", 4);
    common(&zip);
    zip += name + extra + payload;
    size_t directoryAt = zip.size();
    zip.append("PK\x01\x02", 4);
    Put(&zip, version, 2);
    common(&zip);
    Put(&zip, 0, 6);     // comment length, disk, internal attributes
    Put(&zip, 0x20, 4);  // archive
    Put(&zip, 0, 4);     // local header
    zip += name + extra;
    size_t directorySize = zip.size() - directoryAt;
    zip.append("PK\x05\x06", 4);
    Put(&zip, 0, 4);
    Put(&zip, 1, 2);
    Put(&zip, 1, 2);
    Put(&zip, directorySize, 4);
    Put(&zip, directoryAt, 4);
    Put(&zip, 0, 2);
    return zip;
}

std::string TextLikeBytes(size_t size)
{
    std::string bytes;
    for (unsigned long state = 12345; bytes.size() < size; state = state * 1103515245UL + 12345)
        bytes += "line " + std::to_string((state >> 16) % 100000) + " of the test data\r\n";
    bytes.resize(size);
    return bytes;
}
