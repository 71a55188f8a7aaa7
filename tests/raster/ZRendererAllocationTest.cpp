// Counts heap allocations while a window is open, to show that filling allocates nothing
// once the renderer's arrays have grown to the work.
#include "RasterFixtures.h"
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZOutliner.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

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
    swftest::gAllocations = 0;
    swftest::gCountAllocations = true;
    draw();
    swftest::gCountAllocations = false;
    EXPECT_EQ(swftest::gAllocations, 0);
}
