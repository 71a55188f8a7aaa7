// Counts heap allocations while the loaded library draws a frame it has drawn before:
// once a movie's characters are read and its buffers have grown, drawing a whole frame
// (shapes, gradients, bitmaps, texts, sprites, clips) allocates nothing.
#include "HostFixture.h"
#include "examples/DemoMovie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool gCounting = false;
int gAllocations = 0;
} // namespace

// The library's own new and delete resolve to these when the platform lets an executable
// replace them for the libraries it loads.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (gCounting) ++gAllocations;
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

TEST(FrameAllocation, RedrawingEveryDemoFrameAllocatesNothing) {
    const std::u16string path = hosttest::WriteMovie("allocation-demo.swf", demo::BuildDemoMovie());
    hosttest::OpenMovie movie(path);
    ASSERT_TRUE(movie.video);
    movie.Format();
    for (int64_t frame = 0; frame < demo::kFrames; ++frame) {
        ASSERT_EQ(movie.video->ReadFrame(frame, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0),
                  S_OK);
        ASSERT_EQ(movie.video->EndRead(0), S_OK);
        gAllocations = 0;
        gCounting = true;
        const HRESULT hr =
            movie.video->ReadFrame(frame, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
        movie.video->EndRead(0);
        gCounting = false;
        ASSERT_EQ(hr, S_OK);
        EXPECT_EQ(gAllocations, 0) << "frame " << frame;
    }
}
