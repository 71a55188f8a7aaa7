// The frame-lock mutex as the plug-in relies on it: owned by a thread, recursive for its
// owner, released only by it.
#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(Mutex, RecursiveForItsOwnerAndReleasedOnlyByIt) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr); // owned from the start
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
    // Another thread tries to release, then to take the mutex without waiting.
    const auto other = [&] {
        std::atomic<BOOL> released{TRUE};
        std::atomic<DWORD> taken{WAIT_FAILED};
        std::thread([&] {
            released = ReleaseMutex(mutex);
            taken = WaitForSingleObject(mutex, 0);
            if (taken == WAIT_OBJECT_0) ReleaseMutex(mutex);
        }).join();
        EXPECT_FALSE(released.load());
        return taken.load();
    };
    EXPECT_EQ(other(), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(other(), WAIT_TIMEOUT); // still owned once
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex)); // no longer owned
    EXPECT_EQ(other(), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(mutex));
}
