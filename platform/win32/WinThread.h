// Threads and events. A handle names a thread or an event until CloseHandle;
// a closed or unknown handle makes the functions fail instead of touching
// freed memory. Waiting on a thread's handle waits until the thread has ended
// completely, its thread-local objects destroyed too.
#pragma once

#include "platform/win32/WinTypes.h"

typedef DWORD (*LPTHREAD_START_ROUTINE)(LPVOID lpParameter);
typedef size_t SIZE_T;
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 0x00000103u

// Starts lpStartAddress(lpParameter) on a new thread at once. Security
// attributes and the stack size are ignored; creation flags other than 0 are
// not supported (result none). Stores the new thread's id in *lpThreadId when
// given. Returns the thread's handle, or none on failure.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                    DWORD dwCreationFlags, LPDWORD lpThreadId);

// The thread's result once it has ended, STILL_ACTIVE before. FALSE for a
// handle that is not a thread's.
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);

// An unnamed event: manual-reset (stays signalled until ResetEvent) or
// auto-reset (a successful wait un-signals it and releases one waiter).
// Named events are not supported (result none).
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                    BOOL bInitialState, LPCSTR lpName);
inline HANDLE CreateEvent(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                          BOOL bInitialState, LPCSTR lpName) {
    return CreateEventA(lpEventAttributes, bManualReset, bInitialState, lpName);
}
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);

// Waits until the object is signalled (an event set, a thread ended) or
// dwMilliseconds have passed (INFINITE: no limit). WAIT_OBJECT_0,
// WAIT_TIMEOUT, or WAIT_FAILED for a handle that is not a live object.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// Ends the handle; the object goes away with its last user (a running thread
// goes on). FALSE for a handle that is not a live object.
BOOL CloseHandle(HANDLE hObject);

void Sleep(DWORD dwMilliseconds);

// A number that identifies the calling thread for the life of the process
// (never 0); the same number CreateThread reported for it.
DWORD GetCurrentThreadId();
