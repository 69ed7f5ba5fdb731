// The job's long steps: their progress, and the worker thread they run on.
#include "job/LongStep.h"

#include "common/ScopedHandle.h"
#include "job/JobCallback.h"

namespace {

struct CStepThread
{
    const std::function<void()>* work;
};

DWORD WINAPI StepThread(void* parameter)
{
    (*static_cast<CStepThread*>(parameter)->work)();
    return 0;
}

}  // namespace

CJobProgress::CJobProgress() : m_files(0), m_bytes(0), m_stopped(false), m_phase(EJobPhase::kWalking)
{
    InitializeSRWLock(&m_lock);
}

CJobProgress::~CJobProgress() {}

void CJobProgress::Begin(EJobPhase phase, const std::string& archive)
{
    AcquireSRWLockExclusive(&m_lock);
    m_phase = phase;
    m_archive = archive;
    m_folder.clear();
    m_files.store(0);
    m_bytes.store(0);
    ReleaseSRWLockExclusive(&m_lock);
    m_lastFolder.clear();
}

void CJobProgress::CountFileIn(const std::wstring& path, ULONGLONG bytes)
{
    CountFile(bytes);
    size_t cut = path.rfind(L'\\');
    size_t length = cut == std::wstring::npos ? 0 : cut;
    if (length == m_lastFolder.size() && path.compare(0, length, m_lastFolder) == 0)
        return;
    m_lastFolder.assign(path, 0, length);
    AcquireSRWLockExclusive(&m_lock);
    m_folder = m_lastFolder;
    ReleaseSRWLockExclusive(&m_lock);
}

CJobProgressFacts CJobProgress::Facts() const
{
    CJobProgressFacts facts;
    AcquireSRWLockShared(&m_lock);
    facts.phase = m_phase;
    facts.archive = m_archive;
    facts.folder = m_folder;
    ReleaseSRWLockShared(&m_lock);
    facts.files = m_files.load();
    facts.bytes = m_bytes.load();
    return facts;
}

void RunLongStep(IJobCallback& callback, CJobProgress* progress, const std::function<void()>& work)
{
    CStepThread step{&work};
    CScopedHandle thread(CreateThread(NULL, 0, StepThread, &step, 0, NULL));
    if (!thread.IsValid())
    {
        work();
        return;
    }
    callback.WaitForStep(thread.Get(), progress);
    // However the wait ended, the work is done before its state goes.
    WaitForSingleObject(thread.Get(), INFINITE);
}
