#include "tessikzip/DeflatePool.h"

#include <zlib.h>

namespace {

// Reads from where the file stands. No OVERLAPPED: with one, every read
// also asks whether the handle has a completion port, a round trip to the
// server under Wine for each file.
bool ReadOn(HANDLE file, size_t length, std::string* bytes)
{
    bytes->resize(length);
    size_t got = 0;
    while (got < length)
    {
        DWORD chunk = static_cast<DWORD>(length - got > (1u << 30) ? (1u << 30) : length - got);
        DWORD read = 0;
        if (!ReadFile(file, &(*bytes)[got], chunk, &read, NULL))
            return false;
        if (read == 0)
            break;
        got += read;
    }
    bytes->resize(got);
    return true;
}

// zlib's level 5 gives up on a match early (at 32 bytes, after 32 tries):
// ours takes matches up to 128 bytes and tries 48 chains (a quarter of them
// after a match of 4 bytes or more), looking for a longer one at the next
// byte only below 32. On source text that comes within about 1.5 % of level
// 6's size at about two thirds of its time. The other levels are zlib's own.
const int kLevelTuned = 5;
const int kTunedGood = 4, kTunedLazy = 32, kTunedNice = 128, kTunedChain = 48;

}  // namespace

CDeflater::~CDeflater()
{
    if (m_open)
        deflateEnd(static_cast<z_stream*>(m_stream));
    delete static_cast<z_stream*>(m_stream);
}

// A stream set up anew for each task costs more than many a small file's
// compression: zlib clears some 300 KB of tables at every set-up. A reset
// stream gives the same output and clears only its hash heads.
bool CDeflater::Deflate(const char* dictionary, size_t dictionaryLength, const char* input, size_t length,
                        int level, bool last, std::string* output)
{
    if (m_stream == nullptr)
        m_stream = new z_stream();
    z_stream& stream = *static_cast<z_stream*>(m_stream);
    if (m_open && m_level != level)
    {
        deflateEnd(&stream);
        m_open = false;
    }
    if (m_open)
        m_open = deflateReset(&stream) == Z_OK;
    if (!m_open)
    {
        stream = z_stream();
        if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        m_open = true;
        m_level = level;
    }
    // A reset takes the level's own parameters back.
    if (level == kLevelTuned)
        deflateTune(&stream, kTunedGood, kTunedLazy, kTunedNice, kTunedChain);
    bool ok = dictionaryLength == 0 ||
              deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(dictionary),
                                   static_cast<uInt>(dictionaryLength)) == Z_OK;
    output->resize(deflateBound(&stream, static_cast<uLong>(length)) + 64);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
    stream.avail_in = static_cast<uInt>(length);
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
    if (!ok)
    {
        // A broken stream is not reset: the next task sets up its own.
        deflateEnd(&stream);
        m_open = false;
    }
    return ok;
}

bool CSourceFile::Open(const std::wstring& path)
{
    if (m_file.IsValid() && path == m_path)
        return true;
    m_file.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, NULL));
    m_path = path;
    m_position = 0;
    return m_file.IsValid();
}

bool CSourceFile::ReadAt(ULONGLONG at, size_t length, std::string* bytes)
{
    if (at != m_position)
    {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        if (!SetFilePointerEx(m_file.Get(), to, NULL, FILE_BEGIN))
            return false;
        m_position = at;
    }
    if (!ReadOn(m_file.Get(), length, bytes))
    {
        // Where it stands now is not known.
        m_position = ~0ULL;
        return false;
    }
    m_position += bytes->size();
    return true;
}

bool CSourceFile::ReadWhole(std::string* bytes)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(m_file.Get(), &size) && ReadAt(0, static_cast<size_t>(size.QuadPart), bytes);
}

void CSourceFile::Close()
{
    m_file.Close();
    m_path.clear();
}

void RunDeflateTask(CDeflateTask* task, CDeflateWorker* worker)
{
    if (task->folder)
        return;
    CSourceFile& file = worker->file;
    if (!file.Open(task->path))
    {
        file.Close();
        task->failed = true;
        return;
    }
    // The bytes read: the block (or the whole small file) after the primer,
    // in the thread's own buffer, whose pages stay from one task to the next.
    std::string& bytes = worker->bytes;
    size_t primer = 0;
    bool read;
    if (task->whole)
    {
        // A small file: all it holds now, in one read.
        read = file.ReadWhole(&bytes);
    }
    else
    {
        // A stored block needs no primer.
        if (!task->store)
            primer = static_cast<size_t>(task->at < kDeflateWindow ? task->at : kDeflateWindow);
        read = file.ReadAt(task->at - primer, primer + task->length, &bytes);
    }
    // A large file stays open for the thread's next block of it.
    if (task->last || !read)
        file.Close();
    if (!read)
    {
        task->failed = true;
        return;
    }
    if (!task->whole && bytes.size() != primer + task->length)
    {
        task->changed = true;
        return;
    }
    const char* input = bytes.data() + primer;
    size_t length = bytes.size() - primer;
    task->read = length;
    task->crc = crc32(0L, reinterpret_cast<const Bytef*>(input), static_cast<uInt>(length));
    if (!task->store)
    {
        if (!worker->deflater.Deflate(bytes.data(), primer, input, length, task->level, task->last, &task->output))
        {
            task->failed = true;
            return;
        }
        // A small file that deflate does not make smaller is stored.
        if (task->whole && task->output.size() >= length)
            task->output.clear();
        else
            return;
    }
    // Without a primer the buffer itself goes to the writer; the thread
    // takes the task's empty one in its place.
    if (primer == 0)
        task->output.swap(bytes);
    else
        task->output.assign(bytes, primer, std::string::npos);
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
        CDeflateWorker worker;
        RunDeflateTask(task, &worker);
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
    CDeflateWorker worker;
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
            RunDeflateTask(task, &worker);
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
