#include "platform/Win32.h"

#include <gtest/gtest.h>

TEST(PlatformLayout, BitmapInfoHeaderIs40Bytes) { EXPECT_EQ(sizeof(BITMAPINFOHEADER), 40u); }
