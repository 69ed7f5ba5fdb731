#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

class IJobCallback;

// The job's long steps, as their progress names them.
enum class EJobPhase
{
    kWalking,      // the walk of the selection, the filter with it
    kListing,      // the list files written for the archiver
    kReadingBack,  // the new archive listed and checked
};

// What a long step has done so far.
struct CJobProgressFacts
{
    EJobPhase phase = EJobPhase::kWalking;
    ULONGLONG files = 0;  // taken by the walk, written to the list files, or read back
    ULONGLONG bytes = 0;  // the walk's: the sizes of the files taken
    std::wstring folder;  // the walk's: the folder being read
    std::string archive;  // the job's output file
};

// One job's progress through its long steps: written by the worker thread
// that runs a step, read by the thread that waits for it, which passes the
// user's decision back as Stop. The counts cost an atomic store per file;
// the folder is taken under the lock only when it changes.
class CJobProgress
{
public:
    CJobProgress();
    ~CJobProgress();

    // A step begins: its counts start again.
    void Begin(EJobPhase phase, const std::string& archive);
    void CountFile(ULONGLONG bytes)
    {
        m_files.store(m_files.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        m_bytes.store(m_bytes.load(std::memory_order_relaxed) + bytes, std::memory_order_relaxed);
    }
    // The walk counts its files with the folder of each: path is the file's.
    void CountFileIn(const std::wstring& path, ULONGLONG bytes);
    CJobProgressFacts Facts() const;

    // The user's Cancel: every step stops at its next file.
    void Stop() { m_stopped.store(true); }
    bool IsStopped() const { return m_stopped.load(std::memory_order_relaxed); }

private:
    CJobProgress(const CJobProgress&) = delete;
    CJobProgress& operator=(const CJobProgress&) = delete;

    std::atomic<ULONGLONG> m_files;
    std::atomic<ULONGLONG> m_bytes;
    std::atomic<bool> m_stopped;
    mutable SRWLOCK m_lock;
    EJobPhase m_phase;
    std::string m_archive;
    std::wstring m_folder;  // under m_lock
    // The worker's own copy of the folder last shown, so that a file of the
    // same folder takes no lock.
    std::wstring m_lastFolder;
};

// Runs work on a worker thread while the calling thread waits in
// callback.WaitForStep (which serves the windows and may stop the step
// through progress); without a thread to be had, work runs right here.
void RunLongStep(IJobCallback& callback, CJobProgress* progress, const std::function<void()>& work);
