// Outlines keep their flattened paths within their movie's allowance, and give the room
// back when they go.
#include "swf/KeptPath.h"

#include <gtest/gtest.h>

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
    }
    EXPECT_EQ(room->Left(), 1000u);
}
