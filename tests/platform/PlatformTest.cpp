// The Windows calls the plug-in uses, as it relies on them: UTF-16 text and the frame-lock
// mutex (owned by a thread, recursive for its owner, released only by it).
#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

TEST(WideCharToMultiByte, ConvertsUtf16ToUtf8WithWindowsSizeRules) {
    // A two-byte and a four-byte UTF-8 sequence (the latter from a surrogate pair).
    const WCHAR text[] = {0x00E9, u'/', 0xD834, 0xDD1E, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 8);
    char out[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 8, nullptr, nullptr), 8);
    EXPECT_EQ(std::string(out), "\xC3\xA9/\xF0\x9D\x84\x9E");
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 7, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 2, out, 8, nullptr, nullptr), 3);
    WCHAR back[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3\xA9/\xF0\x9D\x84\x9E", -1, back, 8), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(back[i], text[i]) << i;
}

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
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}
