#include "platform/Win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string TempPath(const char* name) {
    return std::string(::testing::TempDir()) + name;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

LPCWSTR W(const std::u16string& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}

void WriteText(const std::string& path, const char* text) {
    HANDLE file = CreateFileW(W(Wide(path)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file, text, DWORD(std::char_traits<char>::length(text)), &written, nullptr));
    EXPECT_TRUE(FlushFileBuffers(file));
    EXPECT_TRUE(CloseHandle(file));
}

std::string ReadText(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buffer[64] = {};
    const size_t got = std::fread(buffer, 1, sizeof(buffer), f);
    std::fclose(f);
    return std::string(buffer, got);
}

} // namespace

TEST(FileRename, ReplacesOnlyWhenAskedAndDeletes) {
    const std::string from = TempPath("rename_from.bin");
    const std::string to = TempPath("rename_to.bin");
    WriteText(from, "new");
    WriteText(to, "old");

    EXPECT_FALSE(MoveFileExW(W(Wide(from)), W(Wide(to)), 0));
    EXPECT_EQ(ReadText(to), "old");
    EXPECT_TRUE(MoveFileExW(W(Wide(from)), W(Wide(to)), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadText(to), "new");
    EXPECT_EQ(ReadText(from), "<missing>");

    EXPECT_TRUE(DeleteFileW(W(Wide(to))));
    EXPECT_FALSE(DeleteFileW(W(Wide(to))));
    EXPECT_FALSE(MoveFileExW(nullptr, W(Wide(to)), 0));
    EXPECT_FALSE(FlushFileBuffers(INVALID_HANDLE_VALUE));
}
