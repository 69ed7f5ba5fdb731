#include "tessik7z/Lzma2Blocks.h"

#include <lzma.h>

#include <algorithm>

namespace {

const size_t kMinimumBlock = 1 << 20;
// Room for incompressible input: LZMA2 stores it in chunks of 64 KiB with
// three bytes each, and the output grows by what is left when it runs out.
const size_t kOutputSlack = 1 << 16;

unsigned CoreCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? info.dwNumberOfProcessors : 1;
}

// Runs a set-up stream over input to its end into *output.
bool RunStream(lzma_stream* stream, const std::string& input, std::string* output)
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

}  // namespace

uint32_t FittingDictionary(uint32_t dictionarySize, uint64_t dataSize)
{
    uint32_t fitting = LZMA_DICT_SIZE_MIN;
    while (fitting < dataSize && fitting < dictionarySize)
        fitting <<= 1;
    return std::min(fitting, dictionarySize);
}

uint32_t Lzma2DictionarySize(int level)
{
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, static_cast<uint32_t>(std::min(std::max(level, 1), 9))))
        return 8u << 20;
    return options.dict_size;
}

unsigned char Lzma2DictionaryProperty(uint32_t dictionarySize)
{
    // (2 | (p & 1)) << (p / 2 + 11), the smallest that holds the size.
    for (unsigned p = 0; p < 40; ++p)
        if ((static_cast<uint64_t>(2 | (p & 1)) << (p / 2 + 11)) >= dictionarySize)
            return static_cast<unsigned char>(p);
    return 40;
}

size_t Lzma2BlockSize(int level)
{
    return std::max<size_t>(static_cast<size_t>(Lzma2DictionarySize(level)) * 3, kMinimumBlock);
}

void EncodeBlock(CBlockTask* task)
{
    task->failed = false;
    if (task->coder == EBlockCoder::kCopy)
    {
        task->output.swap(task->input);
        return;
    }
    lzma_options_lzma lzma;
    lzma_options_bcj bcj = {};
    if (lzma_lzma_preset(&lzma, static_cast<uint32_t>(std::min(std::max(task->level, 1), 9))))
    {
        task->failed = true;
        return;
    }
    lzma.dict_size = FittingDictionary(lzma.dict_size, task->input.size());
    lzma_filter filters[3];
    size_t n = 0;
    if (task->coder == EBlockCoder::kX86Lzma2)
        filters[n++] = {LZMA_FILTER_X86, &bcj};
    filters[n++] = {LZMA_FILTER_LZMA2, &lzma};
    filters[n] = {LZMA_VLI_UNKNOWN, NULL};
    lzma_stream stream = LZMA_STREAM_INIT;
    bool done = lzma_raw_encoder(&stream, filters) == LZMA_OK && RunStream(&stream, task->input, &task->output);
    lzma_end(&stream);
    // The stream ends with LZMA2's end marker, one zero byte; blocks before
    // the last of a folder go without it.
    if (!done || task->output.empty() || task->output.back() != '\0')
    {
        task->failed = true;
        return;
    }
    if (!task->lastOfFolder)
        task->output.pop_back();
    std::string().swap(task->input);
}

bool EncodeLzma(const std::string& input, std::string* output, std::string* properties)
{
    lzma_options_lzma lzma;
    if (lzma_lzma_preset(&lzma, 5))
        return false;
    uint32_t dictionary = FittingDictionary(lzma.dict_size, input.size());
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

CBlockPool::CBlockPool(unsigned threads) : m_stopping(false)
{
    InitializeSRWLock(&m_lock);
    InitializeConditionVariable(&m_queued);
    InitializeConditionVariable(&m_finished);
    unsigned count = threads == 0 ? CoreCount() : threads;
    for (unsigned i = 0; i < count; ++i)
    {
        HANDLE thread = CreateThread(NULL, 0, ThreadMain, this, 0, NULL);
        if (thread == NULL)
            break;
        m_threads.push_back(thread);
    }
}

CBlockPool::~CBlockPool()
{
    AcquireSRWLockExclusive(&m_lock);
    m_stopping = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_queued);
    for (HANDLE thread : m_threads)
    {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

void CBlockPool::Submit(CBlockTask* task)
{
    task->done = false;
    if (m_threads.empty())
    {
        // No thread could be made: the work runs here.
        EncodeBlock(task);
        task->done = true;
        return;
    }
    AcquireSRWLockExclusive(&m_lock);
    m_queue.push_back(task);
    ReleaseSRWLockExclusive(&m_lock);
    WakeConditionVariable(&m_queued);
}

void CBlockPool::WaitDone(CBlockTask* task)
{
    AcquireSRWLockExclusive(&m_lock);
    while (!task->done)
        SleepConditionVariableSRW(&m_finished, &m_lock, INFINITE, 0);
    ReleaseSRWLockExclusive(&m_lock);
}

DWORD WINAPI CBlockPool::ThreadMain(void* pool)
{
    static_cast<CBlockPool*>(pool)->Serve();
    return 0;
}

void CBlockPool::Serve()
{
    for (;;)
    {
        AcquireSRWLockExclusive(&m_lock);
        while (m_queue.empty() && !m_stopping)
            SleepConditionVariableSRW(&m_queued, &m_lock, INFINITE, 0);
        if (m_queue.empty())
        {
            ReleaseSRWLockExclusive(&m_lock);
            return;
        }
        CBlockTask* task = m_queue.front();
        m_queue.pop_front();
        ReleaseSRWLockExclusive(&m_lock);
        try
        {
            EncodeBlock(task);
        }
        catch (...)
        {
            task->failed = true;
        }
        AcquireSRWLockExclusive(&m_lock);
        task->done = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_finished);
    }
}
