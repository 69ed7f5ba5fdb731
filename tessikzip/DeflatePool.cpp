#include "tessikzip/DeflatePool.h"

#include "common/ScopedHandle.h"

#include <zlib.h>

namespace {

bool ReadAt(HANDLE file, ULONGLONG at, size_t length, std::string* bytes)
{
    bytes->resize(length);
    size_t got = 0;
    while (got < length)
    {
        OVERLAPPED where = {};
        where.Offset = static_cast<DWORD>((at + got) & 0xFFFFFFFFULL);
        where.OffsetHigh = static_cast<DWORD>((at + got) >> 32);
        DWORD chunk = static_cast<DWORD>(length - got > (1u << 30) ? (1u << 30) : length - got);
        DWORD read = 0;
        if (!ReadFile(file, &(*bytes)[got], chunk, &read, &where))
        {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return false;
        }
        if (read == 0)
            break;
        got += read;
    }
    bytes->resize(got);
    return true;
}

// zlib's level 5 gives up on a match early (at 32 bytes, after 32 tries):
// ours takes matches up to 128 bytes and tries 64 chains, lazily only below
// 4 bytes, which on source text comes within about 1 % of level 6's size at
// about three quarters of its time. The other levels are zlib's own.
const int kLevelTuned = 5;
const int kTunedGood = 4, kTunedLazy = 16, kTunedNice = 128, kTunedChain = 64;

// Raw deflate of input, primed with dictionary; ends with a sync flush
// unless last, so that the next block's stream carries on from it.
bool Deflate(const std::string& dictionary, const std::string& input, int level, bool last, std::string* output)
{
    z_stream stream = {};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    if (level == kLevelTuned)
        deflateTune(&stream, kTunedGood, kTunedLazy, kTunedNice, kTunedChain);
    bool ok = dictionary.empty() ||
              deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary.data()),
                                   static_cast<uInt>(dictionary.size())) == Z_OK;
    output->resize(deflateBound(&stream, static_cast<uLong>(input.size())) + 64);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(&(*output)[0]);
    stream.avail_out = static_cast<uInt>(output->size());
    int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    while (ok)
    {
        int result = deflate(&stream, flush);
        if (last ? result == Z_STREAM_END : (result == Z_OK && stream.avail_in == 0 && stream.avail_out > 0))
            break;
        if (result != Z_OK && result != Z_BUF_ERROR)
            ok = false;
        else if (stream.avail_out > 0)
            ok = false;  // no progress with room left: the stream is broken
        else
        {
            size_t used = output->size();
            output->resize(used * 2);
            stream.next_out = reinterpret_cast<Bytef*>(&(*output)[used]);
            stream.avail_out = static_cast<uInt>(output->size() - used);
        }
    }
    output->resize(output->size() - stream.avail_out);
    deflateEnd(&stream);
    return ok;
}

}  // namespace

void RunDeflateTask(CDeflateTask* task)
{
    if (task->folder)
        return;
    CScopedHandle file(CreateFileW(task->path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    std::string dictionary;
    std::string input;
    if (!file.IsValid())
    {
        task->failed = true;
        return;
    }
    if (task->whole)
    {
        // A small file: all it holds now, in one read.
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file.Get(), &size) || !ReadAt(file.Get(), 0, static_cast<size_t>(size.QuadPart), &input))
        {
            task->failed = true;
            return;
        }
    }
    else
    {
        size_t primer = static_cast<size_t>(task->at < kDeflateWindow ? task->at : kDeflateWindow);
        std::string both;
        if (!ReadAt(file.Get(), task->at - primer, primer + task->length, &both))
        {
            task->failed = true;
            return;
        }
        if (both.size() != primer + task->length)
        {
            task->changed = true;
            return;
        }
        if (!task->store)
            dictionary = both.substr(0, primer);
        input = both.substr(primer);
    }
    task->read = input.size();
    task->crc = crc32(0L, reinterpret_cast<const Bytef*>(input.data()), static_cast<uInt>(input.size()));
    if (!task->store)
    {
        if (!Deflate(dictionary, input, task->level, task->last, &task->output))
        {
            task->failed = true;
            return;
        }
        // A small file that deflate does not make smaller is stored.
        if (task->whole && task->output.size() >= input.size())
            task->output.clear();
        else
            return;
    }
    task->output.swap(input);
    task->stored = true;
}

CDeflatePool::CDeflatePool(unsigned threads) : m_stopping(false)
{
    InitializeSRWLock(&m_lock);
    InitializeConditionVariable(&m_queued);
    InitializeConditionVariable(&m_finished);
    if (threads == 0)
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        threads = system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
    }
    for (unsigned i = 0; i < threads; ++i)
    {
        HANDLE thread = CreateThread(NULL, 0, ThreadMain, this, 0, NULL);
        if (thread != NULL)
            m_threads.push_back(thread);
    }
}

CDeflatePool::~CDeflatePool()
{
    AcquireSRWLockExclusive(&m_lock);
    m_stopping = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeAllConditionVariable(&m_queued);
    if (!m_threads.empty())
        WaitForMultipleObjects(static_cast<DWORD>(m_threads.size()), m_threads.data(), TRUE, INFINITE);
    for (HANDLE thread : m_threads)
        CloseHandle(thread);
}

void CDeflatePool::Submit(CDeflateTask* task)
{
    if (m_threads.empty())
    {
        // No thread could be started: the work runs here.
        RunDeflateTask(task);
        task->done = true;
        return;
    }
    AcquireSRWLockExclusive(&m_lock);
    m_queue.push_back(task);
    ReleaseSRWLockExclusive(&m_lock);
    WakeConditionVariable(&m_queued);
}

void CDeflatePool::WaitDone(CDeflateTask* task)
{
    AcquireSRWLockExclusive(&m_lock);
    while (!task->done)
        SleepConditionVariableSRW(&m_finished, &m_lock, INFINITE, 0);
    ReleaseSRWLockExclusive(&m_lock);
}

DWORD WINAPI CDeflatePool::ThreadMain(void* pool)
{
    static_cast<CDeflatePool*>(pool)->Serve();
    return 0;
}

void CDeflatePool::Serve()
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
        CDeflateTask* task = m_queue.front();
        m_queue.pop_front();
        ReleaseSRWLockExclusive(&m_lock);
        try
        {
            RunDeflateTask(task);
        }
        catch (...)
        {
            // Out of memory for this task: the writer reports it.
            task->output.clear();
            task->failed = true;
        }
        AcquireSRWLockExclusive(&m_lock);
        task->done = true;
        ReleaseSRWLockExclusive(&m_lock);
        WakeAllConditionVariable(&m_finished);
    }
}
