/* Threads.c of 7-Zip's C code, for Windows, on in-process waits: see
 * Threads.h. */

#include "Threads.h"

#include <process.h>

static WRes LastError(void)
{
  const DWORD error = GetLastError();
  return error != 0 ? (WRes)error : 1;
}

WRes HandlePtr_Close(HANDLE *p)
{
  if (*p != NULL)
  {
    if (!CloseHandle(*p))
      return LastError();
    *p = NULL;
  }
  return 0;
}

WRes Handle_WaitObject(HANDLE h)
{
  const DWORD result = WaitForSingleObject(h, INFINITE);
  if (result == WAIT_FAILED)
    return LastError();
  return (WRes)result;
}

WRes Thread_Wait_Close(CThread *p)
{
  const WRes waited = Handle_WaitObject(*p);
  const WRes closed = Thread_Close(p);
  return waited != 0 ? waited : closed;
}

/* The stack reserved for each thread, whatever the program's own is. */
static const unsigned kStackReserve = 1 << 20;

static WRes StartThread(CThread *p, THREAD_FUNC_TYPE func, LPVOID param, unsigned flags)
{
  unsigned id;
  *p = (HANDLE)_beginthreadex(NULL, kStackReserve, func, param, flags | STACK_SIZE_PARAM_IS_A_RESERVATION, &id);
  return *p != NULL ? 0 : LastError();
}

static WRes Resume(HANDLE h)
{
  return ResumeThread(h) == (DWORD)-1 ? LastError() : 0;
}

WRes Thread_Create(CThread *p, THREAD_FUNC_TYPE func, LPVOID param)
{
  return StartThread(p, func, param, 0);
}

WRes Thread_Create_With_Affinity(CThread *p, THREAD_FUNC_TYPE func, LPVOID param, CAffinityMask affinity)
{
  WRes result = StartThread(p, func, param, CREATE_SUSPENDED);
  if (result != 0)
    return result;
  SetThreadAffinityMask(*p, (DWORD_PTR)affinity);
  return Resume(*p);
}

WRes Thread_Create_With_Group(CThread *p, THREAD_FUNC_TYPE func, LPVOID param, unsigned group, CAffinityMask affinityMask)
{
  GROUP_AFFINITY affinity;
  WRes result = StartThread(p, func, param, CREATE_SUSPENDED);
  if (result != 0)
    return result;
  ZeroMemory(&affinity, sizeof(affinity));
  affinity.Mask = affinityMask;
  affinity.Group = (WORD)group;
  SetThreadGroupAffinity(*p, &affinity, NULL);
  return Resume(*p);
}

void ThreadNextGroup_Init(CThreadNextGroup *p, unsigned numGroups, unsigned startGroup)
{
  if (numGroups == 0)
    numGroups = 1;
  p->NumGroups = numGroups;
  p->NextGroup = startGroup % numGroups;
}

unsigned ThreadNextGroup_GetNext(CThreadNextGroup *p)
{
  const unsigned next = p->NextGroup;
  p->NextGroup = (next + 1) % p->NumGroups;
  return next;
}

static WRes Event_Create(CEvent *p, int manualReset, int signaled)
{
  InitializeSRWLock(&p->lock);
  InitializeConditionVariable(&p->changed);
  p->manualReset = manualReset;
  p->signaled = signaled != 0;
  p->created = 1;
  return 0;
}

WRes ManualResetEvent_Create(CManualResetEvent *p, int signaled) { return Event_Create(p, 1, signaled); }
WRes ManualResetEvent_CreateNotSignaled(CManualResetEvent *p) { return Event_Create(p, 1, 0); }
WRes AutoResetEvent_Create(CAutoResetEvent *p, int signaled) { return Event_Create(p, 0, signaled); }
WRes AutoResetEvent_CreateNotSignaled(CAutoResetEvent *p) { return Event_Create(p, 0, 0); }

WRes AutoResetEvent_OptCreate_And_Reset(CAutoResetEvent *p)
{
  if (Event_IsCreated(p))
    return Event_Reset(p);
  return AutoResetEvent_CreateNotSignaled(p);
}

WRes Event_Close(CEvent *p)
{
  p->created = 0;
  return 0;
}

WRes Event_Set(CEvent *p)
{
  AcquireSRWLockExclusive(&p->lock);
  p->signaled = 1;
  ReleaseSRWLockExclusive(&p->lock);
  /* A manual-reset event lets every waiter go, an auto-reset one a single
     waiter (who resets it). */
  if (p->manualReset)
    WakeAllConditionVariable(&p->changed);
  else
    WakeConditionVariable(&p->changed);
  return 0;
}

WRes Event_Reset(CEvent *p)
{
  AcquireSRWLockExclusive(&p->lock);
  p->signaled = 0;
  ReleaseSRWLockExclusive(&p->lock);
  return 0;
}

WRes Event_Wait(CEvent *p)
{
  AcquireSRWLockExclusive(&p->lock);
  while (!p->signaled)
    SleepConditionVariableSRW(&p->changed, &p->lock, INFINITE, 0);
  if (!p->manualReset)
    p->signaled = 0;
  ReleaseSRWLockExclusive(&p->lock);
  return 0;
}

WRes Semaphore_Create(CSemaphore *p, UInt32 initCount, UInt32 maxCount)
{
  if (maxCount == 0 || initCount > maxCount)
    return ERROR_INVALID_PARAMETER;
  InitializeSRWLock(&p->lock);
  InitializeConditionVariable(&p->changed);
  p->count = initCount;
  p->maxCount = maxCount;
  p->created = 1;
  return 0;
}

WRes Semaphore_OptCreateInit(CSemaphore *p, UInt32 initCount, UInt32 maxCount)
{
  return Semaphore_Create(p, initCount, maxCount);
}

WRes Semaphore_Close(CSemaphore *p)
{
  p->created = 0;
  return 0;
}

WRes Semaphore_ReleaseN(CSemaphore *p, UInt32 num)
{
  WRes result = 0;
  if (num == 0)
    return ERROR_INVALID_PARAMETER;
  AcquireSRWLockExclusive(&p->lock);
  /* As ReleaseSemaphore: past the maximum, nothing is released. */
  if (num > p->maxCount - p->count)
    result = ERROR_TOO_MANY_POSTS;
  else
    p->count += num;
  ReleaseSRWLockExclusive(&p->lock);
  if (result == 0)
  {
    if (num == 1)
      WakeConditionVariable(&p->changed);
    else
      WakeAllConditionVariable(&p->changed);
  }
  return result;
}

WRes Semaphore_Release1(CSemaphore *p)
{
  return Semaphore_ReleaseN(p, 1);
}

WRes Semaphore_Wait(CSemaphore *p)
{
  AcquireSRWLockExclusive(&p->lock);
  while (p->count == 0)
    SleepConditionVariableSRW(&p->changed, &p->lock, INFINITE, 0);
  p->count--;
  ReleaseSRWLockExclusive(&p->lock);
  return 0;
}

WRes CriticalSection_Init(CCriticalSection *p)
{
  InitializeCriticalSection(p);
  return 0;
}
