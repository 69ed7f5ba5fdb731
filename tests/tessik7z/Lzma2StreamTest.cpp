// liblzma as Tessik7z.dll links it: raw LZMA2 streams (the coder of a 7z
// folder, no .xz container) encoded and decoded back in pieces, as the DLL
// streams files through the encoder.
#include <lzma.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bytes LZMA2 cannot shrink: a linear congruential walk over all 256 values.
std::string Incompressible(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

std::string Repeated(const std::string& text, size_t size)
{
    std::string bytes;
    while (bytes.size() < size)
        bytes += text;
    bytes.resize(size);
    return bytes;
}

// Runs a coder over input fed in pieces of at most piece bytes, with an
// output buffer of outPiece bytes; false when liblzma reports an error.
bool RunCoder(lzma_stream* stream, const std::string& input, size_t piece, size_t outPiece, std::string* output)
{
    std::vector<uint8_t> out(outPiece);
    size_t fed = 0;
    for (;;)
    {
        if (stream->avail_in == 0 && fed < input.size())
        {
            size_t take = input.size() - fed < piece ? input.size() - fed : piece;
            stream->next_in = reinterpret_cast<const uint8_t*>(input.data()) + fed;
            stream->avail_in = take;
            fed += take;
        }
        stream->next_out = out.data();
        stream->avail_out = out.size();
        lzma_ret ret = lzma_code(stream, fed == input.size() ? LZMA_FINISH : LZMA_RUN);
        output->append(reinterpret_cast<const char*>(out.data()), out.size() - stream->avail_out);
        if (ret == LZMA_STREAM_END)
            return true;
        if (ret != LZMA_OK)
            return false;
    }
}

TEST(Lzma2Stream, RawEncoderOutputDecodesBackByteForByte)
{
    struct
    {
        const char* what;
        std::string data;
        uint32_t preset;
        size_t piece;
        bool shrinks;  // the stream is smaller than the data
    } cases[] = {
        {"empty", std::string(), 5, 1 << 16, false},
        {"one byte", "x", 0, 1, false},
        {"text", Repeated("七月の海 sea of July ", 3 << 20), 5, 1 << 16, true},
        {"incompressible", Incompressible(3 << 20, 11), 9, 100000, false},
        {"zeros, fast preset", std::string(1 << 20, '\0'), 1, 4096, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        lzma_options_lzma options;
        ASSERT_FALSE(lzma_lzma_preset(&options, c.preset));
        lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, NULL}};

        lzma_stream encoder = LZMA_STREAM_INIT;
        ASSERT_EQ(LZMA_OK, lzma_raw_encoder(&encoder, filters));
        std::string packed;
        bool encoded = RunCoder(&encoder, c.data, c.piece, 1 << 15, &packed);
        lzma_end(&encoder);
        ASSERT_TRUE(encoded);
        // An LZMA2 stream ends with its end marker, a zero byte.
        ASSERT_FALSE(packed.empty());
        EXPECT_EQ('\0', packed.back());
        if (c.shrinks)
            EXPECT_LT(packed.size(), c.data.size() / 10);
        else
            EXPECT_GE(packed.size(), c.data.size());

        lzma_stream decoder = LZMA_STREAM_INIT;
        ASSERT_EQ(LZMA_OK, lzma_raw_decoder(&decoder, filters));
        std::string unpacked;
        bool decoded = RunCoder(&decoder, packed, 777, 4096, &unpacked);
        lzma_end(&decoder);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(unpacked == c.data) << unpacked.size() << " bytes back of " << c.data.size();
    }
}

TEST(Lzma2Stream, DamagedStreamIsAnErrorNotAHang)
{
    lzma_options_lzma options;
    ASSERT_FALSE(lzma_lzma_preset(&options, 5));
    lzma_filter filters[] = {{LZMA_FILTER_LZMA2, &options}, {LZMA_VLI_UNKNOWN, NULL}};
    lzma_stream encoder = LZMA_STREAM_INIT;
    ASSERT_EQ(LZMA_OK, lzma_raw_encoder(&encoder, filters));
    std::string packed;
    ASSERT_TRUE(RunCoder(&encoder, Repeated("abc", 100000), 1 << 16, 1 << 15, &packed));
    lzma_end(&encoder);

    struct
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        // A control byte LZMA2 does not define (0x03 to 0x7F).
        {"bad control byte", std::string("\x05", 1) + packed.substr(1)},
        {"cut before its end marker", packed.substr(0, packed.size() / 2)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        lzma_stream decoder = LZMA_STREAM_INIT;
        ASSERT_EQ(LZMA_OK, lzma_raw_decoder(&decoder, filters));
        std::string unpacked;
        EXPECT_FALSE(RunCoder(&decoder, c.bytes, 1 << 16, 1 << 15, &unpacked));
        lzma_end(&decoder);
    }
}

}  // namespace
