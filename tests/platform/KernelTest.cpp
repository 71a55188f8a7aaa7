#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + name;
}

} // namespace

TEST(Files, ReadExistingFileWholeAndRefuseMissingOne) {
    const std::string path = TempPath("kernel_test_file.bin");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("FWS\x06 hello", f);
        std::fclose(f);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 123;
    EXPECT_EQ(GetFileSize(file, &high), 10u);
    EXPECT_EQ(high, 0u);
    char buffer[16] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(read, 10u);
    EXPECT_EQ(std::string(buffer, 4), std::string("FWS\x06"));
    EXPECT_TRUE(CloseHandle(file));

    // The wide form takes UTF-16 and finds the same file.
    std::u16string wide(path.begin(), path.end());
    file = CreateFileW(reinterpret_cast<LPCWSTR>(wide.c_str()), GENERIC_READ, FILE_SHARE_READ,
                       nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(CreateFileA(TempPath("no_such_file.swf").c_str(), GENERIC_READ, FILE_SHARE_READ,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
    std::remove(path.c_str());
}

TEST(GlobalMemory, BlocksAreZeroFilledAndFoundAgainByPointer) {
    auto* block = static_cast<unsigned char*>(GlobalAlloc(GPTR, 4096));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(block[i], 0) << i;
    EXPECT_EQ(GlobalLock(block), block);
    EXPECT_EQ(GlobalHandle(block), block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(Interlocked, ReturnsTheNewValue) {
    LONG volatile count = 0;
    EXPECT_EQ(InterlockedIncrement(&count), 1);
    EXPECT_EQ(InterlockedIncrement(&count), 2);
    EXPECT_EQ(InterlockedDecrement(&count), 1);
    EXPECT_EQ(InterlockedDecrement(&count), 0);
    EXPECT_EQ(InterlockedDecrement(&count), -1);
}

TEST(WideCharToMultiByte, ConvertsUtf16ToUtf8WithWindowsSizeRules) {
    // "é/𝄞" : a two-byte and a four-byte UTF-8 sequence (the latter from a surrogate pair).
    const WCHAR text[] = {0x00E9, u'/', 0xD834, 0xDD1E, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 8);
    char out[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 8, nullptr, nullptr), 8);
    EXPECT_EQ(std::string(out), "\xC3\xA9/\xF0\x9D\x84\x9E");
    // Too small a buffer converts nothing.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 7, nullptr, nullptr), 0);
    // An explicit length excludes the terminator.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 2, out, 8, nullptr, nullptr), 3);

    WCHAR back[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3\xA9/\xF0\x9D\x84\x9E", -1, back, 8), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(back[i], text[i]) << i;
}

TEST(Layout, BitmapInfoHeaderHasTheStandardLayout) {
    EXPECT_EQ(sizeof(BITMAPINFOHEADER), 40u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biWidth), 4u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biPlanes), 12u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biBitCount), 14u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biCompression), 16u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biSizeImage), 20u);
    EXPECT_EQ(offsetof(BITMAPINFOHEADER, biClrImportant), 36u);
    EXPECT_EQ(sizeof(WCHAR), 2u);
    EXPECT_EQ(sizeof(GUID), 16u);
}

TEST(Guids, CompareByValue) {
    GUID a = {0x13EEFCAF, 0x678C, 0x4C6D, {0xAA, 0xC1, 0x00, 0xAA, 0x00, 0x6B, 0xA2, 0xBA}};
    GUID b = a;
    EXPECT_TRUE(IsEqualGUID(a, b));
    b.Data4[7] ^= 1;
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);
    EXPECT_FALSE(IsEqualIID(IID_IUnknown, IID_IClassFactory));
}
