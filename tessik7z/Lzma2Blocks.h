#pragma once

#include <windows.h>

#include <stdint.h>

#include <deque>
#include <string>
#include <vector>

// The codec side of the writer, through liblzma: blocks of a folder's
// unpacked stream, each encoded on a thread of its own into LZMA2 with a
// dictionary reset of its own, so that the blocks joined in order are one
// LZMA2 stream (the end marker goes after the last one); and the LZMA of
// the header.

enum class EBlockCoder
{
    kCopy,       // the bytes as they are
    kLzma2,
    kX86Lzma2,   // the x86 branch filter, then LZMA2: a folder of one block
};

// The dictionary of a level (1-9), as liblzma's presets have it.
uint32_t Lzma2DictionarySize(int level);
// No more dictionary than data of this size can use (a power of two, at
// least liblzma's smallest): a small block costs no large tables.
uint32_t FittingDictionary(uint32_t dictionarySize, uint64_t dataSize);
// The one property byte of an LZMA2 coder for a dictionary of this size.
unsigned char Lzma2DictionaryProperty(uint32_t dictionarySize);
// A block holds at least three dictionaries, as multi-threaded LZMA2
// encoders cut their input.
size_t Lzma2BlockSize(int level);

struct CBlockTask
{
    // What to do.
    EBlockCoder coder = EBlockCoder::kLzma2;
    int level = 5;
    bool lastOfFolder = true;  // keeps the end marker
    size_t folder = 0;         // the writer's: whose packed stream it joins
    std::string input;
    // What came of it.
    std::string output;
    bool failed = false;
    bool done = false;
};

// Threads that run tasks in any order; the writer waits for each task in
// the order it needs them and keeps every task alive until it is done.
class CBlockPool
{
public:
    explicit CBlockPool(unsigned threads);  // 0: one per core
    ~CBlockPool();

    unsigned Threads() const { return static_cast<unsigned>(m_threads.size()); }
    void Submit(CBlockTask* task);
    void WaitDone(CBlockTask* task);

private:
    CBlockPool(const CBlockPool&) = delete;
    CBlockPool& operator=(const CBlockPool&) = delete;

    static DWORD WINAPI ThreadMain(void* pool);
    void Serve();

    SRWLOCK m_lock;
    CONDITION_VARIABLE m_queued;
    CONDITION_VARIABLE m_finished;
    std::deque<CBlockTask*> m_queue;
    bool m_stopping;
    std::vector<HANDLE> m_threads;
};

// Runs one task on the calling thread.
void EncodeBlock(CBlockTask* task);

// The header's bytes in LZMA as 7z stores a header: no end marker, the
// size kept outside; *properties the coder's five property bytes.
bool EncodeLzma(const std::string& input, std::string* output, std::string* properties);
