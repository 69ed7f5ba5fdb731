#include "tests/support/OneEntryZip.h"

#include "tessikzip/ZipEncryption.h"

#include <zlib.h>

#include <string.h>

namespace {

void Put16(std::string* b, unsigned value)
{
    b->push_back(static_cast<char>(value & 0xFF));
    b->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* b, unsigned long value)
{
    Put16(b, value & 0xFFFF);
    Put16(b, (value >> 16) & 0xFFFF);
}

std::string RawDeflate(const std::string& data)
{
    z_stream stream;
    memset(&stream, 0, sizeof(stream));
    deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::string MakeOneEntryZip(const std::string& name, const std::string& data, bool deflate, ETestCipher cipher,
                            const std::string& password)
{
    const unsigned kDate = (44 << 9) | (1 << 5) | 1;  // 2024-01-01
    unsigned long crc = crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    unsigned actualMethod = deflate ? 8 : 0;
    std::string payload = deflate ? RawDeflate(data) : data;
    std::unique_ptr<CEntryEncryptor> encryptor;
    std::string extra;
    unsigned method = actualMethod;
    unsigned long storedCrc = crc;
    if (cipher == ETestCipher::ZipCrypto)
        encryptor = MakeZipCryptoEncryptor(password, static_cast<unsigned char>(crc >> 24));
    else if (cipher == ETestCipher::Aes)
    {
        encryptor = MakeAesEncryptor(password);
        AppendAesExtraField(static_cast<WORD>(actualMethod), &extra);
        method = 99;
        storedCrc = 0;
    }
    if (cipher != ETestCipher::None)
    {
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
    }
    unsigned flags = cipher != ETestCipher::None ? 1 : 0;
    unsigned version = cipher == ETestCipher::Aes ? 51 : 20;
    auto common = [&](std::string* b) {
        Put16(b, version);
        Put16(b, flags);
        Put16(b, method);
        Put16(b, 0);
        Put16(b, kDate);
        Put32(b, storedCrc);
        Put32(b, static_cast<unsigned long>(payload.size()));
        Put32(b, static_cast<unsigned long>(data.size()));
        Put16(b, static_cast<unsigned>(name.size()));
        Put16(b, static_cast<unsigned>(extra.size()));
    };
    std::string zip("PK\x03\x04", 4);
    common(&zip);
    zip += name + extra + payload;
    size_t directoryAt = zip.size();
    zip.append("PK\x01\x02", 4);
    Put16(&zip, version);
    common(&zip);
    Put16(&zip, 0);  // comment
    Put16(&zip, 0);  // disk
    Put16(&zip, 0);  // internal attributes
    Put32(&zip, 0x20);  // archive
    Put32(&zip, 0);  // local header
    zip += name + extra;
    size_t directorySize = zip.size() - directoryAt;
    zip.append("PK\x05\x06", 4);
    Put32(&zip, 0);
    Put16(&zip, 1);
    Put16(&zip, 1);
    Put32(&zip, static_cast<unsigned long>(directorySize));
    Put32(&zip, static_cast<unsigned long>(directoryAt));
    Put16(&zip, 0);
    return zip;
}

std::string TextLikeBytes(size_t size)
{
    std::string bytes;
    unsigned long state = 12345;
    while (bytes.size() < size)
    {
        state = state * 1103515245UL + 12345;
        bytes += "line " + std::to_string((state >> 16) % 100000) + " of the test data\r\n";
    }
    bytes.resize(size);
    return bytes;
}
