#include "SwfWriter.h"

#include <cmath>

namespace swftest {

namespace {

constexpr int32_t kTwipsPerPixel = 20;

} // namespace

SwfWriter::SwfWriter(uint32_t width, uint32_t height, double rate)
    : frameRect{0, int32_t(width) * kTwipsPerPixel, 0, int32_t(height) * kTwipsPerPixel},
      frameRate(uint16_t(std::lround(rate * 256.0))) {}

SwfWriter& SwfWriter::Version(uint8_t value) {
    version = value;
    return *this;
}

SwfWriter& SwfWriter::FrameRect(const RectRecord& twips) {
    frameRect = twips;
    return *this;
}

SwfWriter& SwfWriter::FrameRate8_8(uint16_t rate) {
    frameRate = rate;
    return *this;
}

SwfWriter& SwfWriter::FrameCount(uint16_t count) {
    frameCount = count;
    return *this;
}

std::vector<uint8_t> SwfWriter::Finish() const {
    BitWriter rest;
    rest.Rect(frameRect).UI16(frameRate).UI16(frameCount.value_or(ShowFrameCount()));
    rest.Bytes(Bytes());
    const std::vector<uint8_t> body = rest.Data();

    constexpr uint32_t kSignatureAndLength = 8;
    BitWriter movie;
    movie.UI8('F').UI8('W').UI8('S').UI8(version);
    movie.UI32(uint32_t(kSignatureAndLength + body.size())).Bytes(body);
    return movie.Data();
}

} // namespace swftest
