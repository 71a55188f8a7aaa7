// DefineSprite bodies: id and frame count, then the sprite's own tag stream.
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
