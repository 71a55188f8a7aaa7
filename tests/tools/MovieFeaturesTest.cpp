// The tag scan behind `info` and the notices: movies from the SWF writer carrying the
// tags the plug-in does not draw.
#include "tools/swfframes/MovieFeatures.h"
#include "support/PlaceTags.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

enum UndrawnTag : uint16_t {
    kDoAction = 12,
    kDefineSound = 14,
    kSoundStreamHead = 18,
    kDefineMorphShape = 46,
    kDefineVideoStream = 60,
    kPlaceObject3 = 70,
    kDoAbc = 82,
};

// PlaceObject3 of character 1 at depth 1 with an empty matrix, then an optional blur
// filter (whose nine bytes the scan must skip to reach the blend mode) and blend mode.
std::vector<uint8_t> PlaceObject3(bool blur, std::optional<uint8_t> blendMode) {
    const uint8_t flags = uint8_t((blur ? 0x01 : 0) | (blendMode ? 0x02 : 0));
    std::vector<uint8_t> body = {0x06, flags, 1, 0, 1, 0, 0x00};
    const std::vector<uint8_t> blurFilter = {1, 1, 0, 0, 4, 0, 0, 0, 4, 0, 0x20};
    if (blur) body.insert(body.end(), blurFilter.begin(), blurFilter.end());
    if (blendMode) body.push_back(*blendMode);
    return body;
}

MovieFeatures Scan(const std::function<void(swftest::SwfWriter&)>& tags) {
    swftest::SwfWriter movie(100, 100, 12);
    movie.Version(8);
    tags(movie);
    movie.ShowFrame().End();
    return ScanMovie(movie.Finish());
}

using Keys = std::vector<std::string>;

} // namespace

TEST(MovieFeatures, FindsWhatThePluginDoesNotDraw) {
    struct Case {
        const char* what;
        std::function<void(swftest::SwfWriter&)> tags;
        Keys keys;
    };
    const std::vector<Case> cases = {
        {"nothing", [](swftest::SwfWriter&) {}, {}},
        {"DoAction",
         [](swftest::SwfWriter& m) {
             m.Tag(kDoAction, {0x07, 0});
         },
         {"actionscript"}},
        {"DoABC",
         [](swftest::SwfWriter& m) {
             m.Tag(kDoAbc, {0, 0, 0, 0, 0});
         },
         {"actionscript"}},
        {"DoAction in a sprite",
         [](swftest::SwfWriter& m) {
             swftest::TagStream frames;
             frames.Tag(kDoAction, {0x07, 0}).ShowFrame().End();
             m.Tag(swftest::kDefineSprite, swftest::DefineSprite(5, frames));
         },
         {"actionscript"}},
        {"clip actions",
         [](swftest::SwfWriter& m) {
             m.Tag(swftest::kPlaceObject2, {0x82, 1, 0, 1, 0, 0, 0});
         },
         {"actionscript"}},
        {"morph shape, long tag",
         [](swftest::SwfWriter& m) { m.LongTag(kDefineMorphShape, std::vector<uint8_t>(70, 9)); },
         {"morph-shapes"}},
        {"sounds",
         [](swftest::SwfWriter& m) {
             m.Tag(kSoundStreamHead, {0, 0, 0, 0});
             m.Tag(kDefineSound, {1, 0, 0x3E, 0, 0, 0, 0});
         },
         {"sounds"}},
        {"normal and layer blend modes",
         [](swftest::SwfWriter& m) {
             m.Tag(kPlaceObject3, PlaceObject3(false, 1));
             m.Tag(kPlaceObject3, PlaceObject3(false, 2));
         },
         {}},
        {"multiply",
         [](swftest::SwfWriter& m) { m.Tag(kPlaceObject3, PlaceObject3(false, 3)); },
         {"blend-modes"}},
        {"blur and normal",
         [](swftest::SwfWriter& m) { m.Tag(kPlaceObject3, PlaceObject3(true, 1)); },
         {"filters"}},
        {"blur and difference",
         [](swftest::SwfWriter& m) { m.Tag(kPlaceObject3, PlaceObject3(true, 6)); },
         {"filters", "blend-modes"}},
        {"video",
         [](swftest::SwfWriter& m) { m.Tag(kDefineVideoStream, std::vector<uint8_t>(10)); },
         {"video"}},
        {"a tag running past the end",
         [](swftest::SwfWriter& m) {
             m.Tag(kDefineMorphShape, {1});
             m.Raw({0x3F, 0x03, 0xFF, 0xFF, 0, 0, 0x07}); // DoAction of 65535 bytes
         },
         {"morph-shapes"}},
    };
    for (const Case& c : cases) {
        const MovieFeatures features = Scan(c.tags);
        EXPECT_EQ(features.Keys(), c.keys) << c.what;
        EXPECT_EQ(features.version, 8) << c.what;
    }
}

TEST(MovieFeatures, NoticeNamesEachFeatureOnOneLine) {
    MovieFeatures features;
    EXPECT_EQ(features.Notice(), "");
    features.actionScript = features.morphShapes = features.sounds = true;
    EXPECT_EQ(features.Notice(), "uses ActionScript (not run), morph shapes (not drawn), sounds "
                                 "(ignored): frames may differ from a player");
    features = {};
    features.filters = features.blendModes = features.video = true;
    EXPECT_EQ(features.Notice(), "uses filters (not drawn), blend modes (not drawn), video "
                                 "streams (not drawn): frames may differ from a player");
    // Too short for a header, or a frame rectangle running past the end.
    EXPECT_EQ(ScanMovie({'F', 'W', 'S', 6}).Keys(), Keys{});
    EXPECT_EQ(ScanMovie({'F', 'W', 'S', 6, 30, 0, 0, 0, 0xF8}).Keys(), Keys{});
}
