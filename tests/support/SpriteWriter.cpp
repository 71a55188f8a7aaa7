#include "SpriteWriter.h"

namespace swftest {

std::vector<uint8_t> DefineSprite(uint16_t id, const TagStream& frames,
                                  std::optional<uint16_t> frameCount) {
    BitWriter body;
    body.UI16(id).UI16(frameCount.value_or(frames.ShowFrameCount())).Bytes(frames.Bytes());
    return body.Data();
}

} // namespace swftest
