// DefineSprite tags for fixtures: a sprite's id and frame count followed by its own tag
// stream, written with a TagStream like a movie's body.
//
//     TagStream frames;
//     frames.Tag(kPlaceObject2, PlaceObject2({.depth = 1, .character = 5})).ShowFrame().End();
//     movie.Tag(kDefineSprite, DefineSprite(7, frames));
#pragma once

#include "SwfWriter.h"

#include <optional>

namespace swftest {

enum SpriteTag : uint16_t { kDefineSprite = 39 };

// FrameCount is the stream's ShowFrame count unless given.
inline std::vector<uint8_t> DefineSprite(uint16_t id, const TagStream& frames,
                                         std::optional<uint16_t> frameCount = std::nullopt) {
    const uint16_t count = frameCount.value_or(frames.ShowFrameCount());
    return BitWriter().UI16(id).UI16(count).Bytes(frames.Bytes()).Data();
}

} // namespace swftest
