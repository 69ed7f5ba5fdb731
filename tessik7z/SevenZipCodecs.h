#pragma once

#include <windows.h>

#include <stdint.h>

#include <functional>
#include <string>

// The writer's codecs. LZMA2 through 7-Zip's own C encoder (from Debian's
// 7zip source package): a folder's stream on a thread of its own, with the
// encoder's multi-threaded match finder, and on more cores its blocks, each
// with a dictionary reset of its own, on threads of their own, joined in
// order into one LZMA2 stream. The header's LZMA through liblzma.

// Where the packed bytes go, in order; false stops the encoder.
typedef std::function<bool(const char* data, size_t size)> CPackedSink;

// The dictionary of a level (1-9), as 7zz sizes it at that level; at most
// 64 MiB in a 32-bit process.
uint32_t SevenZipDictionarySize(int level);

// One folder's stream into LZMA2: Feed hands on the unpacked bytes (it
// waits while the encoder is behind), Finish ends the stream. The encoder
// runs on threads of its own and gives its output to the sink, one call at a
// time, before Finish returns.
class CLzma2Stream
{
public:
    // threads 0: one per core. expectedSize: what the stream will hold at
    // most, so that a small one gets no large dictionary.
    CLzma2Stream(int level, unsigned threads, uint64_t expectedSize, CPackedSink sink);
    ~CLzma2Stream();

    bool Start();
    // False once the encoder has stopped (it failed, or the sink said stop).
    bool Feed(const char* data, size_t size);
    // *property: the LZMA2 coder's property byte. False when it failed.
    bool Finish(unsigned char* property);

private:
    CLzma2Stream(const CLzma2Stream&) = delete;
    CLzma2Stream& operator=(const CLzma2Stream&) = delete;

    struct CStreams;
    static DWORD WINAPI ThreadMain(void* stream);
    void Encode();
    bool Read(void* buffer, size_t* size);
    void Stop();

    int m_level;
    unsigned m_threads;
    uint64_t m_expected;
    CPackedSink m_sink;
    void* m_encoder = nullptr;  // CLzma2EncHandle: the C headers stay out of this one
    HANDLE m_thread = NULL;
    SRWLOCK m_lock;
    CONDITION_VARIABLE m_changed;
    std::string m_pending;  // fed, not yet read
    size_t m_readAt = 0;
    bool m_closed = false;   // no more input
    bool m_stopping = false; // give up
    bool m_ended = false;    // the encoder returned
    int m_result = 0;
};

// A whole folder in memory through the x86 branch filter (data is changed
// in place), then into LZMA2.
bool EncodeX86Lzma2(std::string* data, int level, unsigned threads, const CPackedSink& sink, unsigned char* property);

// The header's bytes in LZMA as 7z stores a header: no end marker, the
// size kept outside; *properties the coder's five property bytes.
bool EncodeLzma(const std::string& input, std::string* output, std::string* properties);
