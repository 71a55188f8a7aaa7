// Outlines keep their flattened paths within their movie's allowance, and give the room
// back when they go.
#include "swf/KeptPath.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using UT::KeptPath;
using UT::PathRoom;

TEST(KeptPath, TakesRoomWhileThereIsRoomAndGivesItBack) {
    Held<PixelBuffer> target = Held<PixelBuffer>::Adopt(PixelBuffer::Create(4, 4, 4, 1));
    GraphicsContext context;
    context.SetTarget(target.Get());
    context.Reset();
    int calls = 0;
    const auto curve = [&] {
        ++calls;
        context.LineTo({0, 0, 0});
        context.QuadTo({4, 0, 0}, {4, 4, 0}); // 24 lines
        context.ClosePath();                  // a line back and the close: 27 elements
    };
    const auto draw = [&](KeptPath& kept, PathRoom* room) {
        context.BeginPath(GraphicsContext::kDrawnPath);
        kept.Build(context, room, curve);
        context.EndPath();
    };
    Held<PathRoom> room(new PathRoom(1000));
    {
        KeptPath kept;
        draw(kept, room.Get());
        draw(kept, room.Get());
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(room->Left(), 1000 - 27 * sizeof(ZPathElement));
        KeptPath tooBig;
        Held<PathRoom> small(new PathRoom(27 * sizeof(ZPathElement) - 1));
        draw(tooBig, small.Get());
        draw(tooBig, small.Get());
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(small->Left(), 27 * sizeof(ZPathElement) - 1);
        KeptPath exact;
        Held<PathRoom> fits(new PathRoom(27 * sizeof(ZPathElement)));
        draw(exact, fits.Get());
        draw(exact, fits.Get());
        EXPECT_EQ(calls, 4);
        EXPECT_EQ(fits->Left(), 0u);
        KeptPath roomless;
        draw(roomless, nullptr);
        draw(roomless, nullptr);
        EXPECT_EQ(calls, 6);
        // Kept with a transform, put back for that transform alone, bit for bit.
        KeptPath keyed;
        Matrix4 key, other, negativeZero;
        key.m[3][0] = 2.5f;
        other.m[3][0] = 3.0f;
        negativeZero.m[3][0] = 2.5f;
        negativeZero.m[3][1] = -0.0f;
        const std::pair<const Matrix4*, int> keys[] = {
            {&key, 7}, {&key, 7}, {&other, 8}, {&negativeZero, 9}, {nullptr, 10}, {&key, 10}};
        for (const auto& [k, callsAfter] : keys) {
            context.BeginPath(GraphicsContext::kDrawnPath);
            keyed.Build(context, room.Get(), curve, k);
            context.EndPath();
            EXPECT_EQ(calls, callsAfter);
        }
        EXPECT_EQ(room->Left(), 1000 - 2 * 27 * sizeof(ZPathElement));
    }
    EXPECT_EQ(room->Left(), 1000u);
}

// A stroked path keeps its outline too, when there is room, and a later stroke of the
// restored path with the same line draws exactly what outlining it again draws.
TEST(KeptPath, KeepsTheStrokeOutlineForTheSameLine) {
    Held<PixelBuffer> target = Held<PixelBuffer>::Adopt(PixelBuffer::Create(12, 12, 4, 1));
    GraphicsContext context;
    context.SetTarget(target.Get());
    context.Reset();
    context.SetFillPaint(nullptr);
    context.SetStrokeColor({0, 0, 1, 1});
    const auto vee = [&] {
        context.LineTo({2, 2, 0});
        context.QuadTo({6, 12, 0}, {10, 2, 0});
    };
    const auto stroke = [&](KeptPath& kept, PathRoom* room, float width) {
        context.Clear({0, 0, 0, 0});
        context.SetLineWidth(width);
        context.BeginPath(GraphicsContext::kDrawnPath);
        kept.Build(context, room, vee);
        context.EndPath();
        kept.KeepOutline(context);
        return std::vector<uint8_t>(target->pixels, target->pixels + target->ByteCount());
    };
    KeptPath fresh;
    const std::vector<uint8_t> wide = stroke(fresh, nullptr, 3), thin = stroke(fresh, nullptr, 1);
    ASSERT_NE(wide, thin);

    Held<PathRoom> room(new PathRoom(1 << 20));
    auto kept = std::make_unique<KeptPath>();
    EXPECT_EQ(stroke(*kept, room.Get(), 3), wide);
    const size_t pathOnly = 25 * sizeof(ZPathElement); // the move and 24 lines
    EXPECT_LT(room->Left(), (1u << 20) - pathOnly);    // the outline took room too
    EXPECT_EQ(stroke(*kept, room.Get(), 3), wide);
    EXPECT_EQ(stroke(*kept, room.Get(), 1), thin);
    EXPECT_EQ(stroke(*kept, room.Get(), 3), wide);
    kept.reset();
    EXPECT_EQ(room->Left(), 1u << 20);

    Held<PathRoom> tight(new PathRoom(pathOnly));
    KeptPath noOutline;
    EXPECT_EQ(stroke(noOutline, tight.Get(), 3), wide);
    EXPECT_EQ(tight->Left(), 0u);
    EXPECT_EQ(stroke(noOutline, tight.Get(), 3), wide);
}
