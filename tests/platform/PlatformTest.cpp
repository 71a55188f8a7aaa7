// The frame-lock mutex as the plug-in relies on it: owned by a thread, recursive for its
// owner, released only by it.
#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#if !defined(_WIN32)
// A thread's id is the kernel's, asked for once: another thread has its own, and so does a
// forked child's thread, which the parent's answer must not stand for.
TEST(Mutex, ThreadIdsAreTheKernels) {
    const DWORD self = GetCurrentThreadId();
    EXPECT_EQ(self, DWORD(syscall(SYS_gettid)));
    std::atomic<DWORD> other{0};
    std::thread([&] { other = GetCurrentThreadId() == DWORD(syscall(SYS_gettid)) ? 1 : 2; }).join();
    EXPECT_EQ(other.load(), 1u);
    const pid_t child = fork();
    if (child == 0) _exit(GetCurrentThreadId() == DWORD(syscall(SYS_gettid)) ? 0 : 1);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(GetCurrentThreadId(), self);
}
#endif

// UTF-16 to UTF-8 and back, into buffers of exactly the size asked for: characters of one
// to four bytes, a surrogate pair among them.
TEST(TextConversion, ExactBuffersAndEveryEncodedLength) {
    const struct {
        std::u16string wide;
        std::string utf8;
    } cases[] = {
        {u"A", "A"},
        {u"\u00E9", "\xC3\xA9"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"x\U0001F600", "x\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        const auto* wide = reinterpret_cast<const WCHAR*>(c.wide.c_str());
        const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(size_t(bytes > 0 ? bytes : 0), '?');
        EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, narrow.data(), bytes, nullptr, nullptr),
                  int(c.utf8.size() + 1));
        EXPECT_EQ(narrow, c.utf8 + '\0') << c.utf8;
        std::u16string back(c.wide.size() + 1, u'?');
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, c.utf8.c_str(), -1,
                                      reinterpret_cast<WCHAR*>(back.data()), int(back.size())),
                  int(back.size()));
        EXPECT_EQ(back, c.wide + u'\0') << c.utf8;
    }
}
