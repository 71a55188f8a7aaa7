// Outlines keep their flattened paths within their movie's allowance, and give the room
// back when they go.
#include "swf/KeptPath.h"
#include "MovieTestSupport.h"
#include "raster/ZBitmapStencil.h"
#include "raster/ZGradientStencils.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "swf/FShape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

using namespace swftest;
using UT::KeptPath;
using UT::PathRoom;

TEST(KeptPath, TakesRoomWhileThereIsRoomAndGivesItBack) {
    Held<PixelBuffer> target = Held<PixelBuffer>::Adopt(PixelBuffer::Create(4, 4, 4, 1));
    GraphicsContext context;
    context.SetTarget(target.Get());
    context.Reset();
    context.SetFillPaint(nullptr); // built, not drawn: the room kept spans take is below
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
    // A kept path takes room for its elements and, when there is room left, for the
    // device segments of its fill: one a line at most.
    constexpr size_t kPath = 27 * sizeof(ZPathElement), kKept = kPath + 27 * sizeof(ZSegment);
    Held<PathRoom> room(new PathRoom(2000));
    {
        KeptPath kept;
        draw(kept, room.Get());
        draw(kept, room.Get());
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(room->Left(), 2000 - kKept);
        KeptPath tooBig;
        Held<PathRoom> small(new PathRoom(kPath - 1));
        draw(tooBig, small.Get());
        draw(tooBig, small.Get());
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(small->Left(), kPath - 1);
        // Room for the path alone keeps the path without its segments.
        KeptPath exact;
        Held<PathRoom> fits(new PathRoom(kKept - 1));
        draw(exact, fits.Get());
        draw(exact, fits.Get());
        EXPECT_EQ(calls, 4);
        EXPECT_EQ(fits->Left(), kKept - 1 - kPath);
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
        EXPECT_EQ(room->Left(), 2000 - 2 * kKept);
    }
    EXPECT_EQ(room->Left(), 2000u);
}

// The device segments and spans kept from a path's first fill are used again only for the
// transform and target size they were made for, and the pixels its first gradient or bitmap
// gave only for that paint, in that state, under the same paint matrix: drawn otherwise,
// the kept path draws what a path drawn by its calls draws.  Their room goes back with
// the kept path.
TEST(KeptPath, FillsFollowTheirTransformAndTarget) {
    enum Paint { kSolid, kGradient, kBitmap };
    struct Draw {
        float x;
        int32_t width, height;
        Paint paint = kSolid;
        float turn = 0;      // of the paint, in degrees
        bool tinted = false; // under a colour transform
    };
    auto gradient = Held<ZLinearGradientStencil>::Adopt(new ZLinearGradientStencil);
    for (const ZGradientStop& stop : {ZGradientStop{0, 0.5f, 0.5f, {255, 0, 0, 255}},
                                      ZGradientStop{1, 0.5f, 0.5f, {0, 128, 255, 160}}})
        gradient->AddStop(stop);
    auto bitmap = Held<ZBitmapStencil>::Adopt(new ZBitmapStencil);
    {
        Held<PixelBuffer> image = Held<PixelBuffer>::Adopt(PixelBuffer::Create(5, 3, 4, 1));
        for (size_t i = 0; i < size_t(image->ByteCount()); ++i)
            image->pixels[i] = uint8_t(i * 37 % 256 | 3);
        bitmap->SetImage(image.Get(), 1);
    }
    const auto picture = [&](KeptPath& kept, PathRoom* room, const Draw& d) {
        Held<PixelBuffer> target =
            Held<PixelBuffer>::Adopt(PixelBuffer::Create(d.width, d.height, 4, 1));
        for (int32_t i = 0; i < d.width * d.height; ++i) // opaque, under translucent paint
            std::memcpy(target->pixels + 4 * i, "\x28\x50\x78\xff", 4);
        GraphicsContext context;
        context.SetTarget(target.Get());
        context.Reset();
        if (d.tinted) context.MultColorTransform({0.5f, 1, 0.25f, 1, 0.1f, 0, 0.2f, 0, false});
        if (d.paint == kSolid) context.SetFillColor({0, 0, 1, 1});
        if (d.paint == kGradient) context.SetFillPaint(gradient.Get());
        if (d.paint == kBitmap) context.SetFillPaint(bitmap.Get());
        context.SetTransformMode(GraphicsContext::kPaint);
        context.Rotate(d.turn);
        context.SetTransformMode(GraphicsContext::kModel);
        context.Translate({d.x, 0.25f, 0});
        context.BeginPath(GraphicsContext::kDrawnPath);
        kept.Build(context, room, [&] {
            context.LineTo({0.5f, 0.5f, 0});
            context.QuadTo({6, 0, 0}, {4.5f, 5.5f, 0});
            context.ClosePath();
        });
        context.EndPath();
        return std::vector<uint8_t>(target->pixels, target->pixels + target->ByteCount());
    };
    Held<PathRoom> room(new PathRoom(1 << 20));
    size_t leftAfterSolids = 0;
    const std::vector<Draw> solids = {{0, 8, 8}, {0, 8, 8},     {1.5f, 8, 8}, {0, 8, 3},
                                      {0, 4, 8}, {-0.0f, 8, 8}, {0, 8, 8}};
    for (const Paint first : {kSolid, kGradient, kBitmap}) {
        KeptPath kept;
        const Paint other = first == kGradient ? kBitmap : kGradient;
        const std::vector<Draw> paints = {{0, 8, 8, first},     {0, 8, 8, first},
                                          {0, 8, 8, first, 30}, {0, 8, 8, first, 0, true},
                                          {0, 8, 8, other},     {0, 8, 8, first}};
        for (const Draw& d : first == kSolid ? solids : paints) {
            KeptPath fresh;
            EXPECT_EQ(picture(kept, room.Get(), d), picture(fresh, nullptr, d))
                << first << ": " << d.x << ", " << d.width << " x " << d.height << ", paint "
                << d.paint << " turned " << d.turn << (d.tinted ? " tinted" : "");
        }
        // The spans of the first fill took room beside the path and its segments, and the
        // pixels of a first paint more.
        if (first == kSolid) leftAfterSolids = room->Left();
        EXPECT_LT(room->Left(), first == kSolid
                                    ? (1u << 20) - 27 * (sizeof(ZPathElement) + sizeof(ZSegment))
                                    : leftAfterSolids);
    }
    EXPECT_EQ(room->Left(), 1u << 20);
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

namespace {

// A hairline (thinner than a pixel, so outlined in device space) placed at `spots` pixel
// offsets, drawn twice: the room its kept paths take after each draw, and whether the two
// pictures are the same.
struct HairlineDraws {
    size_t first = 0, second = 0;
    bool same = false;
};
HairlineDraws DrawHairlines(int spots) {
    ShapeWriter shape(3);
    shape.LineStyles({{10, {0, 0, 0, 255}}})
        .Change(StyleChange().Line(1))
        .MoveTo(0, 0)
        .CurveTo(200, 0, 200, 200);
    Tags tags = {{ShapeWriter::TagCode(3), shape.TagBody(1, {0, 200, 0, 200})}};
    for (int i = 0; i < spots; ++i)
        tags.push_back({kPlaceObject2, PlaceObject2(PlaceCharacter(uint16_t(i + 1), 1, i, 2 * i))});
    BoxMovie movie;
    HairlineDraws result;
    if (!ParseBytes(movie, MovieOf(tags, 40, 40))) return result;
    movie.GotoFrame(0);
    const size_t allowance = movie.KeptPathRoom()->Left();
    Canvas canvas(40, 40);
    std::vector<uint8_t> pictures[2];
    for (std::vector<uint8_t>& picture : pictures) {
        canvas.context.Clear({0, 0, 0, 0});
        movie.RenderDisplayList(canvas.context);
        const PixelBuffer& t = *canvas.target;
        picture.assign(t.pixels, t.pixels + t.ByteCount());
        (result.first ? result.second : result.first) = allowance - movie.KeptPathRoom()->Left();
    }
    result.same = pictures[0] == pictures[1];
    return result;
}

} // namespace

// A hairline is kept for each of the first few transforms it is drawn with, as a symbol
// placed at a few spots has them, and put back for each: drawing again takes no more room
// and draws the same picture.  Past the first few, spots are drawn by their calls.
TEST(KeptPath, HairlinesAreKeptForTheirFirstFewTransforms) {
    const HairlineDraws one = DrawHairlines(1);
    ASSERT_GT(one.first, 0u);
    for (const int spots : {1, 3, int(UT::FShape::kTransformsKept), 12}) {
        const HairlineDraws d = DrawHairlines(spots);
        const size_t kept = std::min<size_t>(size_t(spots), UT::FShape::kTransformsKept);
        EXPECT_EQ(d.first, kept * one.first) << spots;
        EXPECT_EQ(d.second, d.first) << spots;
        EXPECT_TRUE(d.same) << spots;
    }
}
