#pragma once

#include "common/ScopedHandle.h"

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

// One piece of compression work: a whole small file, or one block of a
// large one. The writer fills in what to do, a worker what came of it.
struct CDeflateTask
{
    // What to do.
    std::wstring path;
    ULONGLONG at = 0;         // first byte of the block
    size_t length = 0;        // bytes of the block; whole: read to the end
    bool whole = false;       // a small file in one task
    bool last = true;         // the block that ends the entry's stream
    bool folder = false;      // nothing to read
    bool store = false;       // no deflate: the data as it is
    int level = 6;
    // What came of it.
    std::string output;
    unsigned long crc = 0;
    ULONGLONG read = 0;   // bytes of the file taken
    bool stored = false;  // output holds the data as it is
    bool failed = false;
    bool changed = false;  // the file held fewer bytes than listed
    bool done = false;
};

// Threads that run tasks in any order; the writer waits for each task in
// the order it needs them. Tasks belong to the caller, which keeps every
// task alive until it is done.
class CDeflatePool
{
public:
    // threads 0: one per core.
    explicit CDeflatePool(unsigned threads);
    ~CDeflatePool();

    unsigned Threads() const { return static_cast<unsigned>(m_threads.size()); }
    void Submit(CDeflateTask* task);
    void WaitDone(CDeflateTask* task);

private:
    CDeflatePool(const CDeflatePool&) = delete;
    CDeflatePool& operator=(const CDeflatePool&) = delete;

    static DWORD WINAPI ThreadMain(void* pool);
    void Serve();

    SRWLOCK m_lock;
    CONDITION_VARIABLE m_queued;
    CONDITION_VARIABLE m_finished;
    std::deque<CDeflateTask*> m_queue;
    bool m_stopping;
    std::vector<HANDLE> m_threads;
};

// One thread's deflate stream, set up at its first task and reset for each
// one after it.
class CDeflater
{
public:
    CDeflater() = default;
    ~CDeflater();

    // Raw deflate of input, primed with dictionary; ends with a sync flush
    // unless last, so that the next block's stream carries on from it.
    bool Deflate(const char* dictionary, size_t dictionaryLength, const char* input, size_t length, int level,
                 bool last, std::string* output);

private:
    CDeflater(const CDeflater&) = delete;
    CDeflater& operator=(const CDeflater&) = delete;

    void* m_stream = nullptr;  // z_stream: zlib stays out of this header
    bool m_open = false;
    int m_level = 0;
};

// The file a thread reads from: kept open from one block of a large file to
// the thread's next, so that its blocks do not open it once each.
class CSourceFile
{
public:
    CSourceFile() = default;

    // Opens path, or keeps it open when it is the one open already.
    bool Open(const std::wstring& path);
    bool ReadAt(ULONGLONG at, size_t length, std::string* bytes);
    // All the file holds now.
    bool ReadWhole(std::string* bytes);
    void Close();

private:
    CSourceFile(const CSourceFile&) = delete;
    CSourceFile& operator=(const CSourceFile&) = delete;

    std::wstring m_path;
    CScopedHandle m_file;
    ULONGLONG m_position = 0;
};

// What one thread keeps from task to task.
struct CDeflateWorker
{
    CDeflater deflater;
    CSourceFile file;
    std::string bytes;  // what the task read
};

// Runs one task on the calling thread with that thread's stream and file.
void RunDeflateTask(CDeflateTask* task, CDeflateWorker* worker);
// Bytes before a block that prime its stream.
const size_t kDeflateWindow = 32768;
