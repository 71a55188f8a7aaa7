// The frame-lock mutex must behave like a Windows mutex: owned by a thread, recursive for
// its owner, released only by its owner.
#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

struct MutexHandle {
    HANDLE handle = CreateMutexW(nullptr, FALSE, nullptr);
    ~MutexHandle() { CloseHandle(handle); }
};

} // namespace

TEST(Mutex, OwnerMayAcquireRecursivelyAndMustReleaseAsOften) {
    MutexHandle mutex;
    ASSERT_NE(mutex.handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex.handle, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.handle, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex.handle));

    // Still owned once: another thread cannot take it.
    std::atomic<DWORD> other{WAIT_FAILED};
    std::thread([&] { other = WaitForSingleObject(mutex.handle, 0); }).join();
    EXPECT_EQ(other.load(), WAIT_TIMEOUT);

    EXPECT_TRUE(ReleaseMutex(mutex.handle));
    EXPECT_FALSE(ReleaseMutex(mutex.handle)); // no longer owned
    std::thread([&] {
        other = WaitForSingleObject(mutex.handle, 0);
        ReleaseMutex(mutex.handle);
    }).join();
    EXPECT_EQ(other.load(), WAIT_OBJECT_0);
}

TEST(Mutex, ReleaseFromNonOwnerFailsAndChangesNothing) {
    MutexHandle mutex;
    ASSERT_EQ(WaitForSingleObject(mutex.handle, INFINITE), WAIT_OBJECT_0);
    std::atomic<BOOL> released{TRUE};
    std::atomic<DWORD> taken{WAIT_FAILED};
    std::thread([&] {
        released = ReleaseMutex(mutex.handle);
        taken = WaitForSingleObject(mutex.handle, 0);
    }).join();
    EXPECT_FALSE(released.load());
    EXPECT_EQ(taken.load(), WAIT_TIMEOUT);
    // The owner's single release still balances its single wait.
    EXPECT_TRUE(ReleaseMutex(mutex.handle));
    EXPECT_FALSE(ReleaseMutex(mutex.handle));
}

TEST(Mutex, InfiniteWaitBlocksUntilOwnerReleases) {
    MutexHandle mutex;
    ASSERT_EQ(WaitForSingleObject(mutex.handle, INFINITE), WAIT_OBJECT_0);
    std::atomic<int> stage{0};
    std::thread waiter([&] {
        stage = 1;
        WaitForSingleObject(mutex.handle, INFINITE);
        stage = 2;
        ReleaseMutex(mutex.handle);
    });
    while (stage.load() == 0) std::this_thread::yield();
    // The waiter cannot pass while this thread owns the mutex.
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    EXPECT_EQ(stage.load(), 1);
    EXPECT_TRUE(ReleaseMutex(mutex.handle));
    waiter.join();
    EXPECT_EQ(stage.load(), 2);
}

TEST(Mutex, InitialOwnerOwnsIt) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    std::atomic<DWORD> other{WAIT_FAILED};
    std::thread([&] { other = WaitForSingleObject(mutex, 0); }).join();
    EXPECT_EQ(other.load(), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}
