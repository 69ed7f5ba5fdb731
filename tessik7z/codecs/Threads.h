/* Threads.h of 7-Zip's C code, for Windows, on in-process waits.
 *
 * build-codecs.sh compiles the encoder's files with this header and
 * Threads.c in place of 7-Zip's own. The interface is the one those files
 * call; only the events and semaphores differ: 7-Zip's are kernel objects,
 * and every wait and signal on one is a call into the kernel (under Wine, a
 * round trip to the Wine server), thousands of times a second between the
 * match finder's threads. These are a count or a state behind a slim
 * reader/writer lock with a condition variable, which wait in the process
 * itself. Threads and critical sections stay as 7-Zip makes them. */

#ifndef ZIP7_INC_THREADS_H
#define ZIP7_INC_THREADS_H

#ifndef _WIN32
#error "Threads.h of Tessik7z is for Windows"
#endif

#include "7zWindows.h"
#include "7zTypes.h"

EXTERN_C_BEGIN

WRes HandlePtr_Close(HANDLE *h);
WRes Handle_WaitObject(HANDLE h);

typedef HANDLE CThread;
#define Thread_CONSTRUCT(p) { *(p) = NULL; }
#define Thread_WasCreated(p) (*(p) != NULL)
#define Thread_Close(p) HandlePtr_Close(p)

typedef unsigned THREAD_FUNC_RET_TYPE;
#define THREAD_FUNC_RET_ZERO  0

typedef DWORD_PTR CAffinityMask;
typedef DWORD_PTR CCpuSet;
#define CpuSet_Zero(p)        *(p) = (0)
#define CpuSet_Set(p, cpu)    *(p) |= ((DWORD_PTR)1 << (cpu))

#define THREAD_FUNC_CALL_TYPE Z7_STDCALL
#if defined(__GNUC__)
  /* A new thread's stack is not 16-byte aligned on 32-bit x86. */
  #define THREAD_FUNC_ATTRIB_ALIGN_ARG __attribute__((force_align_arg_pointer))
#else
  #define THREAD_FUNC_ATTRIB_ALIGN_ARG
#endif
#define THREAD_FUNC_DECL  THREAD_FUNC_ATTRIB_ALIGN_ARG THREAD_FUNC_RET_TYPE THREAD_FUNC_CALL_TYPE

typedef THREAD_FUNC_RET_TYPE (THREAD_FUNC_CALL_TYPE * THREAD_FUNC_TYPE)(void *);
WRes Thread_Create(CThread *p, THREAD_FUNC_TYPE func, LPVOID param);
WRes Thread_Create_With_Affinity(CThread *p, THREAD_FUNC_TYPE func, LPVOID param, CAffinityMask affinity);
WRes Thread_Wait_Close(CThread *p);
WRes Thread_Create_With_Group(CThread *p, THREAD_FUNC_TYPE func, LPVOID param, unsigned group, CAffinityMask affinityMask);
#define Thread_Create_With_CpuSet(p, func, param, cs) \
  Thread_Create_With_Affinity(p, func, param, *cs)

typedef struct
{
  unsigned NumGroups;
  unsigned NextGroup;
} CThreadNextGroup;

void ThreadNextGroup_Init(CThreadNextGroup *p, unsigned numGroups, unsigned startGroup);
unsigned ThreadNextGroup_GetNext(CThreadNextGroup *p);

typedef struct
{
  SRWLOCK lock;
  CONDITION_VARIABLE changed;
  int created;
  int manualReset;
  int signaled;
} CEvent;
typedef CEvent CAutoResetEvent;
typedef CEvent CManualResetEvent;
#define Event_Construct(p) ((p)->created = 0)
#define Event_IsCreated(p) ((p)->created != 0)
WRes Event_Close(CEvent *p);
WRes Event_Wait(CEvent *p);
WRes Event_Set(CEvent *p);
WRes Event_Reset(CEvent *p);
WRes ManualResetEvent_Create(CManualResetEvent *p, int signaled);
WRes ManualResetEvent_CreateNotSignaled(CManualResetEvent *p);
WRes AutoResetEvent_Create(CAutoResetEvent *p, int signaled);
WRes AutoResetEvent_CreateNotSignaled(CAutoResetEvent *p);

typedef struct
{
  SRWLOCK lock;
  CONDITION_VARIABLE changed;
  int created;
  UInt32 count;
  UInt32 maxCount;
} CSemaphore;
#define Semaphore_Construct(p) ((p)->created = 0)
#define Semaphore_IsCreated(p) ((p)->created != 0)
WRes Semaphore_Close(CSemaphore *p);
WRes Semaphore_Wait(CSemaphore *p);
WRes Semaphore_Create(CSemaphore *p, UInt32 initCount, UInt32 maxCount);
WRes Semaphore_OptCreateInit(CSemaphore *p, UInt32 initCount, UInt32 maxCount);
WRes Semaphore_ReleaseN(CSemaphore *p, UInt32 num);
WRes Semaphore_Release1(CSemaphore *p);

typedef CRITICAL_SECTION CCriticalSection;
WRes CriticalSection_Init(CCriticalSection *p);
#define CriticalSection_Delete(p) DeleteCriticalSection(p)
#define CriticalSection_Enter(p) EnterCriticalSection(p)
#define CriticalSection_Leave(p) LeaveCriticalSection(p)

WRes AutoResetEvent_OptCreate_And_Reset(CAutoResetEvent *p);

EXTERN_C_END

#endif
