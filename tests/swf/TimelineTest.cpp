// Placements on a timeline, checked on the display list and by pixels.
#include "BoxCharacter.h"

#include "platform/Win32.h"
#include "support/PlaceTags.h"
#include "support/SwfWriter.h"
#include "swf/FDisplayItem.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace swftest;

namespace {

bool Load(BoxMovie& movie, const SwfWriter& writer) {
    const std::vector<uint8_t> bytes = writer.Finish();
    auto* image = static_cast<uint8_t*>(GlobalAlloc(GPTR, bytes.size()));
    std::memcpy(image, bytes.data(), bytes.size());
    return movie.Parse(image, uint32_t(bytes.size()));
}

CxformRecord AddRed(int16_t amount) {
    return {.hasAdd = true, .redAdd = amount};
}

} // namespace

TEST(Timeline, PlacementFlags) {
    const MatrixRecord moved = TranslatePixels(3, 4);
    const Placement first = {
        .character = 1, .matrix = moved, .cxform = AddRed(255), .ratio = 7, .name = "box"};
    const Placement moveWithNew = {.character = 2, .move = true};
    const Placement moveAlone = {.depth = 9, .move = true, .matrix = moved};

    SwfWriter writer(10, 10, 12);
    writer.Tag(kDefineBoxTag, DefineBox(1, 0, 0, 1, 1, {0, 0, 255, 255}))
        .Tag(kDefineBoxTag, DefineBox(2, 0, 0, 1, 1, {0, 255, 0, 255}))
        .Tag(kPlaceObject2, PlaceObject2(first))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(moveWithNew))
        .Tag(kPlaceObject2, PlaceObject2(moveAlone))             // empty depth: nothing happens
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 77))) // unknown character: ignored
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1))) // no move: replaced afresh
        .Tag(kPlaceObject, PlaceObject(2, 3, TranslatePixels(1, 0), AddRed(128)))
        .ShowFrame()
        .Tag(kRemoveObject, RemoveObject(99, 3)) // the id is not compared
        .Tag(kRemoveObject2, RemoveObject2(1))
        .Tag(kRemoveObject2, RemoveObject2(50))
        .ShowFrame()
        .End();
    BoxMovie movie;
    ASSERT_TRUE(Load(movie, writer));

    movie.GotoFrame(0);
    const UT::FDisplayItem* item = movie.Items().at(1).Get();
    EXPECT_EQ(item->name, "box");
    EXPECT_EQ(item->ratio, 7);
    EXPECT_FLOAT_EQ(item->matrix.m[3][0], 3);
    EXPECT_FLOAT_EQ(item->colorTransform.addRed, 0.99609375f);
    Canvas canvas(10, 10);
    movie.RenderDisplayList(canvas.context);
    EXPECT_EQ(canvas.Pixel(3, 4), (Bgra{255, 0, 254, 255})); // red add of 255/256
    EXPECT_EQ(canvas.Pixel(0, 0), (Bgra{0, 0, 0, 0}));
    EXPECT_EQ(canvas.context.GetInteger(0), 1); // every push was popped
    EXPECT_EQ(canvas.context.GetInteger(5), 1);

    movie.GotoFrame(1);
    ASSERT_EQ(movie.Items().size(), 1u);
    item = movie.Items().at(1).Get();
    EXPECT_EQ(item->Character()->Id(), 2u);
    EXPECT_FLOAT_EQ(item->matrix.m[3][1], 4);   // the matrix moved over
    EXPECT_TRUE(item->colorTransform.identity); // the colour transform did not
    EXPECT_TRUE(item->name.empty());

    movie.GotoFrame(2);
    item = movie.Items().at(1).Get();
    EXPECT_EQ(item->Character()->Id(), 1u);
    EXPECT_TRUE(item->matrix.identity);
    const UT::FDisplayItem* trailing = movie.Items().at(3).Get();
    EXPECT_FLOAT_EQ(trailing->colorTransform.addRed, 0.5f);
    EXPECT_FLOAT_EQ(trailing->colorTransform.multAlpha, 1.0f);

    movie.GotoFrame(3);
    EXPECT_TRUE(movie.Items().empty());
}
