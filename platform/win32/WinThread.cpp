// Threads and events over std::thread, a mutex and a condition variable per
// object. Handles are keys into a table of live objects, never reused, so a
// stale handle is recognised instead of followed.
#include "platform/win32/WinThread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace {

struct KernelObject {
    std::mutex mx;
    std::condition_variable cv;
    bool bThread = false;
    bool bManualReset = true;  // a thread stays signalled once ended
    bool bSignalled = false;
    DWORD nExitCode = STILL_ACTIVE;
};

std::mutex g_mxTable;
std::map<uintptr_t, std::shared_ptr<KernelObject>>& Table() {
    static auto* s_pTable = new std::map<uintptr_t, std::shared_ptr<KernelObject>>;
    return *s_pTable;
}
uintptr_t g_nNextHandle = 0;

HANDLE AddObject(std::shared_ptr<KernelObject> pObject) {
    std::lock_guard<std::mutex> lock(g_mxTable);
    g_nNextHandle += 4;  // never 0, never reused
    Table()[g_nNextHandle] = std::move(pObject);
    return reinterpret_cast<HANDLE>(g_nNextHandle);
}

std::shared_ptr<KernelObject> FindObject(HANDLE h) {
    std::lock_guard<std::mutex> lock(g_mxTable);
    auto it = Table().find(reinterpret_cast<uintptr_t>(h));
    return it == Table().end() ? nullptr : it->second;
}

std::atomic<DWORD> g_nNextThreadId{1};
thread_local DWORD t_nThreadId = 0;

// Built first on a new thread, so destroyed last: the thread counts as ended
// only after every other thread-local object of it is gone.
struct ThreadEnd {
    std::shared_ptr<KernelObject> pObject;
    DWORD nExitCode = 0;
    ~ThreadEnd() {
        if (!pObject) return;
        std::lock_guard<std::mutex> lock(pObject->mx);
        pObject->nExitCode = nExitCode;
        pObject->bSignalled = true;
        pObject->cv.notify_all();
    }
};

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress || dwCreationFlags != 0) return nullptr;
    auto pObject = std::make_shared<KernelObject>();
    pObject->bThread = true;
    DWORD nId = g_nNextThreadId++;
    try {
        std::thread([pObject, lpStartAddress, lpParameter, nId] {
            static thread_local ThreadEnd s_end;
            s_end.pObject = pObject;
            t_nThreadId = nId;
            s_end.nExitCode = lpStartAddress(lpParameter);
        }).detach();
    } catch (const std::exception&) {
        return nullptr;
    }
    if (lpThreadId) *lpThreadId = nId;
    return AddObject(std::move(pObject));
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto pObject = FindObject(hThread);
    if (!pObject || !pObject->bThread || !lpExitCode) return FALSE;
    std::lock_guard<std::mutex> lock(pObject->mx);
    *lpExitCode = pObject->bSignalled ? pObject->nExitCode : STILL_ACTIVE;
    return TRUE;
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
    if (lpName) return nullptr;
    std::shared_ptr<KernelObject> pObject;
    try {
        pObject = std::make_shared<KernelObject>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    pObject->bManualReset = bManualReset != FALSE;
    pObject->bSignalled = bInitialState != FALSE;
    return AddObject(std::move(pObject));
}

static BOOL SetEventState(HANDLE hEvent, bool bSignalled) {
    auto pObject = FindObject(hEvent);
    if (!pObject || pObject->bThread) return FALSE;
    std::lock_guard<std::mutex> lock(pObject->mx);
    pObject->bSignalled = bSignalled;
    if (bSignalled) {
        if (pObject->bManualReset)
            pObject->cv.notify_all();
        else
            pObject->cv.notify_one();
    }
    return TRUE;
}

BOOL SetEvent(HANDLE hEvent) { return SetEventState(hEvent, true); }
BOOL ResetEvent(HANDLE hEvent) { return SetEventState(hEvent, false); }

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto pObject = FindObject(hHandle);
    if (!pObject) return WAIT_FAILED;
    std::unique_lock<std::mutex> lock(pObject->mx);
    auto signalled = [&] { return pObject->bSignalled; };
    if (dwMilliseconds == INFINITE)
        pObject->cv.wait(lock, signalled);
    else if (!pObject->cv.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), signalled))
        return WAIT_TIMEOUT;
    if (!pObject->bManualReset) pObject->bSignalled = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE hObject) {
    std::shared_ptr<KernelObject> pObject;  // released outside the table's lock
    std::lock_guard<std::mutex> lock(g_mxTable);
    auto it = Table().find(reinterpret_cast<uintptr_t>(hObject));
    if (it == Table().end()) return FALSE;
    pObject = std::move(it->second);
    Table().erase(it);
    return TRUE;
}

void Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

DWORD GetCurrentThreadId() {
    if (t_nThreadId == 0) t_nThreadId = g_nNextThreadId++;
    return t_nThreadId;
}
