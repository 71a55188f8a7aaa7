// Counts heap allocations while the loaded library draws a frame it has drawn before:
// once a movie's characters are read and its buffers have grown, drawing a whole frame
// (shapes, gradients, bitmaps, texts, sprites, clips) allocates nothing.
#include "HostFixture.h"
#include "examples/DemoMovie.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

TEST(FrameAllocation, RedrawingEveryDemoFrameAllocatesNothing) {
    const std::u16string path = hosttest::WriteMovie("allocation-demo.swf", demo::BuildDemoMovie());
    hosttest::OpenMovie movie(path);
    ASSERT_TRUE(movie.video);
    movie.Format();
    for (int64_t frame = 0; frame < demo::kFrames; ++frame) {
        ASSERT_EQ(movie.video->ReadFrame(frame, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0),
                  S_OK);
        ASSERT_EQ(movie.video->EndRead(0), S_OK);
        swftest::gAllocations = 0;
        swftest::gCountAllocations = true;
        const HRESULT hr =
            movie.video->ReadFrame(frame, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
        movie.video->EndRead(0);
        swftest::gCountAllocations = false;
        ASSERT_EQ(hr, S_OK);
        EXPECT_EQ(swftest::gAllocations, 0) << "frame " << frame;
    }
}
