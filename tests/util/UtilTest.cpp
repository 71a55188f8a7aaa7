#include "support/ComTestUtil.h"
#include "util/VxAboutBox.h"
#include "util/VxHelp.h"
#include "util/VxLang.h"
#include "util/VxText.h"

#include <gtest/gtest.h>

using comtest::Narrow;

TEST(Strings, ResourceTableHoldsTheSevenPluginStrings) {
    VXLANG language = nullptr;
    ASSERT_TRUE(VxLang_Open(nullptr, &language));
    const std::pair<uint32_t, const char*> expected[] = {
        {101, "Open Shockwave Flash File"},
        {102, "*.swf"},
        {103, "Shockwave Flash"},
        {104, "Morvane Shockwave Flash File Format"},
        {105, "Morvane Shockwave Flash File Format Plug-In"},
        {106, "SWF"},
        {107, "$d Kbps"},
        {999, ""}, // unknown: an empty text
    };
    WCHAR buffer[64];
    for (const auto& [id, text] : expected) {
        buffer[0] = u'x';
        EXPECT_EQ(VxGetString(language, id, buffer, 64), int32_t(std::strlen(text)));
        EXPECT_EQ(Narrow(buffer), text);
    }
    VxLang_Close(language);
}

TEST(Help, PathsFollowTheKindAndLanguage) {
    VXLANG language = nullptr;
    ASSERT_TRUE(VxLang_Open(nullptr, &language));
    WCHAR path[kVxHelpPathCapacity];
    ASSERT_TRUE(VxHelp_CreatePluginHelpFilePath(nullptr, language, 0, path, kVxHelpPathCapacity));
    EXPECT_EQ(Narrow(path), "help/0409/swfplugin.html");
    VxLang_UpdateKernelLCID(language, 0x040C, 1);
    ASSERT_TRUE(VxHelp_CreatePluginHelpFilePath(nullptr, language, 1, path, kVxHelpPathCapacity));
    EXPECT_EQ(Narrow(path), "help/040C/swfplugin-context.html");
    EXPECT_FALSE(VxHelp_CreatePluginHelpFilePath(nullptr, language, 2, path, kVxHelpPathCapacity));
    VxLang_Close(language);
}

TEST(AboutBox, ListsTheDescriptionAndReturnsAtOnce) {
    const VxAboutInfo info = {PLATFORM_WIDE("Title"),
                              {PLATFORM_WIDE("Line one"), nullptr},
                              PLATFORM_WIDE("/lib/x.so"),
                              PLATFORM_WIDE("Version 1.0 (Build 2554)"),
                              PLATFORM_WIDE("https://example.test/")};
    WCHAR text[256];
    VxAboutText(&info, text, 256);
    EXPECT_EQ(Narrow(text),
              "Title\nLine one\nVersion 1.0 (Build 2554)\n/lib/x.so\nhttps://example.test/\n");
    EXPECT_EQ(VxAboutBox(nullptr, nullptr), E_POINTER);
}
