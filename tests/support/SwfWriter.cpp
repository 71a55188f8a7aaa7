#include "SwfWriter.h"

#include <cmath>
#include <stdexcept>

namespace swftest {

std::vector<uint8_t> TagStream::Header(uint16_t code, uint32_t length, bool longForm) {
    if (code > 0x3FF) throw std::invalid_argument("tag code above 10 bits");
    if (!longForm && length >= 0x3F) throw std::invalid_argument("too long for a short header");
    BitWriter header;
    header.UI16(uint16_t(code << 6 | (longForm ? 0x3F : length)));
    return (longForm ? header.UI32(length) : header).Data();
}

TagStream& TagStream::LongTag(uint16_t code, const std::vector<uint8_t>& body, bool longForm) {
    return Raw(Header(code, uint32_t(body.size()), longForm)).Raw(body);
}

SwfWriter::SwfWriter(uint32_t width, uint32_t height, double rate)
    : frameRect{0, int32_t(width) * 20, 0, int32_t(height) * 20},
      frameRate(uint16_t(std::lround(rate * 256.0))) {}

std::vector<uint8_t> SwfWriter::Finish() const {
    BitWriter rest;
    rest.Rect(frameRect).UI16(frameRate).UI16(frameCount.value_or(ShowFrameCount()));
    const std::vector<uint8_t> body = rest.Bytes(Bytes()).Data();
    BitWriter movie;
    movie.UI8('F').UI8('W').UI8('S').UI8(version).UI32(uint32_t(8 + body.size()));
    return movie.Bytes(body).Data();
}

} // namespace swftest
