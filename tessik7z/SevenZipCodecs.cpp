#include "tessik7z/SevenZipCodecs.h"

#include <lzma.h>
#include <sevenzip/Alloc.h>
#include <sevenzip/Bra.h>
#include <sevenzip/Lzma2Enc.h>

#include <string.h>

#include <algorithm>

namespace {

// Fed bytes waiting for the encoder: what bounds the memory between the
// reading thread and the encoder's.
const size_t kPendingLimit = 4 << 20;
const size_t kOutputSlack = 1 << 16;

// The dictionary's bits by level, as 7zz's are.
const unsigned kDictionaryBits[10] = {16, 18, 20, 22, 24, 25, 26, 27, 27, 28};
const unsigned kDictionaryBitsLimit32 = 26;
const unsigned kHashBits = 22;
// The optimal parser's fast bytes at levels 5 and 6 (7zz's 32): a match this
// long is taken without weighing the others. On the benchmark's tree the
// parser is what the other threads wait for; 28 makes the run about a tenth
// faster for 1.6 % more archive.
const int kFastBytes = 28;
const int kFastBytesFirstLevel = 5;
const int kFastBytesLastLevel = 6;

unsigned CoreCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

CLzma2EncHandle MakeEncoder(int level, unsigned threads, uint64_t expectedSize)
{
    CLzma2EncHandle encoder = Lzma2Enc_Create(&g_Alloc, &g_BigAlloc);
    if (encoder == NULL)
        return NULL;
    CLzma2EncProps props;
    Lzma2EncProps_Init(&props);
    props.lzmaProps.level = std::min(std::max(level, 1), 9);
    props.lzmaProps.dictSize = SevenZipDictionarySize(level);
    props.lzmaProps.reduceSize = expectedSize;
    // A hash of 4 M heads instead of one a two bytes of the dictionary:
    // 48 MB less at level 5, for an archive of the same size.
    props.lzmaProps.numHashOutBits = kHashBits;
    if (props.lzmaProps.level >= kFastBytesFirstLevel && props.lzmaProps.level <= kFastBytesLastLevel)
        props.lzmaProps.fb = kFastBytes;
    props.numTotalThreads = static_cast<int>(threads == 0 ? CoreCount() : threads);
    if (Lzma2Enc_SetProps(encoder, &props) != SZ_OK)
    {
        Lzma2Enc_Destroy(encoder);
        return NULL;
    }
    Lzma2Enc_SetDataSize(encoder, expectedSize);
    return encoder;
}

// The sink as 7-Zip's output stream.
struct CSinkStream
{
    ISeqOutStream vt;
    const CPackedSink* sink;
};

size_t SinkWrite(ISeqOutStreamPtr p, const void* data, size_t size)
{
    const CSinkStream* stream = reinterpret_cast<const CSinkStream*>(p);
    try
    {
        return (*stream->sink)(static_cast<const char*>(data), size) ? size : 0;
    }
    catch (...)
    {
        return 0;
    }
}

}  // namespace

uint32_t SevenZipDictionarySize(int level)
{
    unsigned bits = kDictionaryBits[std::min(std::max(level, 1), 9)];
    if (sizeof(void*) == 4)
        bits = std::min(bits, kDictionaryBitsLimit32);
    return uint32_t(1) << bits;
}

struct CLzma2Stream::CStreams
{
    ISeqInStream in;
    CSinkStream out;
    CLzma2Stream* owner;
};

CLzma2Stream::CLzma2Stream(int level, unsigned threads, uint64_t expectedSize, CPackedSink sink)
    : m_level(level), m_threads(threads), m_expected(expectedSize), m_sink(std::move(sink))
{
    InitializeSRWLock(&m_lock);
    InitializeConditionVariable(&m_changed);
}

CLzma2Stream::~CLzma2Stream()
{
    Stop();
    if (m_encoder != nullptr)
        Lzma2Enc_Destroy(static_cast<CLzma2EncHandle>(m_encoder));
}

bool CLzma2Stream::Start()
{
    m_encoder = MakeEncoder(m_level, m_threads, m_expected);
    if (m_encoder == nullptr)
        return false;
    m_thread = CreateThread(NULL, 0, ThreadMain, this, 0, NULL);
    return m_thread != NULL;
}

DWORD WINAPI CLzma2Stream::ThreadMain(void* stream)
{
    static_cast<CLzma2Stream*>(stream)->Encode();
    return 0;
}

void CLzma2Stream::Encode()
{
    CStreams streams;
    streams.in.Read = [](ISeqInStreamPtr p, void* buffer, size_t* size) -> SRes {
        const CStreams* s = reinterpret_cast<const CStreams*>(p);
        return s->owner->Read(buffer, size) ? SZ_OK : SZ_ERROR_READ;
    };
    streams.out.vt.Write = SinkWrite;
    streams.out.sink = &m_sink;
    streams.owner = this;
    SRes result = Lzma2Enc_Encode2(static_cast<CLzma2EncHandle>(m_encoder), &streams.out.vt, NULL, NULL, &streams.in,
                                   NULL, 0, NULL);
    AcquireSRWLockExclusive(&m_lock);
    m_result = result;
    m_ended = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
}

// The encoder's read: what is there, waiting for some; nothing at the end.
bool CLzma2Stream::Read(void* buffer, size_t* size)
{
    AcquireSRWLockExclusive(&m_lock);
    while (m_readAt == m_pending.size() && !m_closed && !m_stopping)
        SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    bool ok = !m_stopping;
    size_t take = ok ? std::min(*size, m_pending.size() - m_readAt) : 0;
    memcpy(buffer, m_pending.data() + m_readAt, take);
    m_readAt += take;
    if (m_readAt == m_pending.size())
    {
        m_pending.clear();
        m_readAt = 0;
    }
    *size = take;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    return ok;
}

bool CLzma2Stream::Feed(const char* data, size_t size)
{
    AcquireSRWLockExclusive(&m_lock);
    while (m_pending.size() - m_readAt >= kPendingLimit && !m_ended)
        SleepConditionVariableSRW(&m_changed, &m_lock, INFINITE, 0);
    bool ok = !m_ended;
    if (ok)
    {
        if (m_readAt > 0 && m_readAt >= m_pending.size() / 2)
        {
            m_pending.erase(0, m_readAt);
            m_readAt = 0;
        }
        m_pending.append(data, size);
    }
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    return ok;
}

bool CLzma2Stream::Finish(unsigned char* property)
{
    if (m_thread == NULL)
        return false;
    AcquireSRWLockExclusive(&m_lock);
    m_closed = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = NULL;
    *property = Lzma2Enc_WriteProperties(static_cast<CLzma2EncHandle>(m_encoder));
    return m_result == SZ_OK;
}

void CLzma2Stream::Stop()
{
    if (m_thread == NULL)
        return;
    AcquireSRWLockExclusive(&m_lock);
    m_stopping = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_changed);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = NULL;
}

bool EncodeX86Lzma2(std::string* data, int level, unsigned threads, const CPackedSink& sink, unsigned char* property)
{
    UInt32 state = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
    if (!data->empty())
        Z7_BRANCH_CONV_ST_ENC(X86)(reinterpret_cast<Byte*>(&(*data)[0]), data->size(), 0, &state);
    CLzma2EncHandle encoder = MakeEncoder(level, threads, data->size());
    if (encoder == NULL)
        return false;
    CSinkStream out;
    out.vt.Write = SinkWrite;
    out.sink = &sink;
    SRes result = Lzma2Enc_Encode2(encoder, &out.vt, NULL, NULL, NULL, reinterpret_cast<const Byte*>(data->data()),
                                   data->size(), NULL);
    *property = Lzma2Enc_WriteProperties(encoder);
    Lzma2Enc_Destroy(encoder);
    return result == SZ_OK;
}

// Runs a set-up liblzma stream over input to its end into *output.
static bool RunStream(lzma_stream* stream, const std::string& input, std::string* output)
{
    output->resize(input.size() + input.size() / 16 + kOutputSlack);
    stream->next_in = reinterpret_cast<const uint8_t*>(input.data());
    stream->avail_in = input.size();
    size_t written = 0;
    for (;;)
    {
        stream->next_out = reinterpret_cast<uint8_t*>(&(*output)[written]);
        stream->avail_out = output->size() - written;
        lzma_ret result = lzma_code(stream, LZMA_FINISH);
        written = output->size() - stream->avail_out;
        if (result == LZMA_STREAM_END)
            break;
        if (result != LZMA_OK)
            return false;
        if (stream->avail_out == 0)
            output->resize(output->size() + output->size() / 2);
    }
    output->resize(written);
    return true;
}

bool EncodeLzma(const std::string& input, std::string* output, std::string* properties)
{
    lzma_options_lzma lzma;
    if (lzma_lzma_preset(&lzma, 5))
        return false;
    // No more dictionary than the header can use.
    uint32_t dictionary = LZMA_DICT_SIZE_MIN;
    while (dictionary < input.size() && dictionary < lzma.dict_size)
        dictionary <<= 1;
    lzma.dict_size = dictionary;
    lzma.ext_flags = 0;  // no end marker: the size stands in the header
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, &lzma}, {LZMA_VLI_UNKNOWN, NULL}};
    lzma_stream stream = LZMA_STREAM_INIT;
    bool done = lzma_raw_encoder(&stream, filters) == LZMA_OK && RunStream(&stream, input, output);
    lzma_end(&stream);
    if (!done)
        return false;
    properties->assign(1, static_cast<char>((lzma.pb * 5 + lzma.lp) * 9 + lzma.lc));
    for (int i = 0; i < 4; ++i)
        properties->push_back(static_cast<char>((dictionary >> (8 * i)) & 0xFF));
    return true;
}
