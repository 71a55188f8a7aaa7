// Counts heap allocations while a window is open, to show that filling allocates nothing
// once the renderer's arrays have grown to the work.
#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZOutliner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool gCounting = false;
int gAllocations = 0;
} // namespace

// The replacements pair malloc with free; GCC cannot see that both halves are replaced.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The nothrow form must come from the same heap, or its objects reach free() from the
// global allocator's new.
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

TEST(ZRendererAllocation, FillsAllocateNothingAfterWarmUp) {
    Canvas colour(300, 200, 4), mask(300, 200, 1);
    ZRenderer r;
    colour.AttachAsTarget(r);
    mask.AttachAsMask(r);
    ZPath big;
    big.MoveTo(-10, -10);
    big.QuadTo(400, 100, 290, 190);
    big.LineTo(5, 150);
    big.Close();
    ZColorStencil solid(1, 2, 3, 200);
    ZLinearGradientStencil gradient;
    ZGradientStop stop;
    gradient.AddStop(stop);
    ZOutliner outliner;
    outliner.SetJoinStyle(ZOutliner::kRoundJoin);
    const auto draw = [&] {
        r.FillPath(big, nullptr, &solid, ZFillRule::kNonZero);
        r.FillPath(big, nullptr, &gradient, ZFillRule::kEvenOdd);
        r.SetClipByMask(true);
        r.FillPath(big, nullptr, &gradient, ZFillRule::kNonZero);
        r.SetClipByMask(false);
        r.FillPath(outliner.Outline(big, 4), nullptr, &solid, ZFillRule::kNonZero);
    };
    draw();
    gAllocations = 0;
    gCounting = true;
    draw();
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
}
