#include "platform/win32/WinThread.h"

#include <gtest/gtest.h>

#include <atomic>

TEST(Event, ManualAndAutoResetAfterAWait) {
    struct Case {
        BOOL bManual, bInitial;
        DWORD nFirst, nSecond;  // two waits of 0 ms in a row
    } cases[] = {
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},  // stays signalled
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},  // a wait takes the signal
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.bManual << ", initial " << c.bInitial);
        HANDLE h = CreateEvent(nullptr, c.bManual, c.bInitial, nullptr);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(WaitForSingleObject(h, 0), c.nFirst);
        EXPECT_EQ(WaitForSingleObject(h, 0), c.nSecond);
        EXPECT_TRUE(SetEvent(h));
        EXPECT_EQ(WaitForSingleObject(h, INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(ResetEvent(h));
        EXPECT_EQ(WaitForSingleObject(h, 20), WAIT_TIMEOUT);
        EXPECT_TRUE(CloseHandle(h));
    }
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "named"), nullptr);
}

TEST(Event, ClosedOrUnknownHandlesFailInsteadOfBeingFollowed) {
    HANDLE h = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(h));
    HANDLE hNew = CreateEvent(nullptr, FALSE, TRUE, nullptr);  // never takes the old value
    EXPECT_NE(hNew, h);
    for (HANDLE bad : {h, static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(uintptr_t(0x12345))}) {
        EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
        EXPECT_FALSE(SetEvent(bad));
        EXPECT_FALSE(ResetEvent(bad));
        EXPECT_FALSE(CloseHandle(bad));
    }
    EXPECT_TRUE(CloseHandle(hNew));
}

namespace {

std::atomic<bool> g_bLocalDestroyed{false};
struct Local {
    ~Local() { g_bLocalDestroyed = true; }
};

struct Shared {
    HANDLE hGo;
    DWORD nSeenId = 0;
};

DWORD Worker(LPVOID p) {
    auto* pShared = static_cast<Shared*>(p);
    pShared->nSeenId = GetCurrentThreadId();
    thread_local Local local;
    (void)local;
    // Woken by the other thread's SetEvent.
    return WaitForSingleObject(pShared->hGo, INFINITE) == WAIT_OBJECT_0 ? 42 : 1;
}

}  // namespace

TEST(Thread, RunsAtOnceAndIsSignalledOnlyOnceFullyEnded) {
    Shared shared{CreateEvent(nullptr, FALSE, FALSE, nullptr)};
    DWORD nId = 0;
    HANDLE hThread = CreateThread(nullptr, 0, Worker, &shared, 0, &nId);
    ASSERT_NE(hThread, nullptr);
    DWORD nCode = 0;
    EXPECT_TRUE(GetExitCodeThread(hThread, &nCode));
    EXPECT_EQ(nCode, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(hThread, 20), WAIT_TIMEOUT);

    ASSERT_TRUE(SetEvent(shared.hGo));
    ASSERT_EQ(WaitForSingleObject(hThread, INFINITE), WAIT_OBJECT_0);
    // Its thread-local objects are gone before the handle is signalled.
    EXPECT_TRUE(g_bLocalDestroyed);
    EXPECT_TRUE(GetExitCodeThread(hThread, &nCode));
    EXPECT_EQ(nCode, 42u);
    EXPECT_EQ(WaitForSingleObject(hThread, 0), WAIT_OBJECT_0);  // stays signalled
    EXPECT_EQ(shared.nSeenId, nId);
    EXPECT_NE(nId, GetCurrentThreadId());
    EXPECT_NE(GetCurrentThreadId(), 0u);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_FALSE(SetEvent(hThread));  // not an event
    EXPECT_TRUE(CloseHandle(hThread));
    EXPECT_TRUE(CloseHandle(shared.hGo));

    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(CreateThread(nullptr, 0, Worker, &shared, 4 /* suspended */, nullptr), nullptr);
}
