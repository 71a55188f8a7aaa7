#include "swf/SurfaceFilters.h"

#include "base/FlashParser.h"

#include <cmath>
#include <cstring>

namespace UT {

namespace {

// Bytes after the kind byte; 0 for a kind this reader does not know.  Peeks at the counts
// that decide the size of the gradient and convolution filters without moving the reader.
uint64_t FilterSize(const FlashParser& reader, uint8_t kind) {
    const uint64_t at = reader.Position();
    auto peek = [&](uint64_t offset) -> uint64_t {
        return at + offset < reader.TagEnd() && at + offset < reader.Readable()
                   ? reader.Data()[at + offset]
                   : 0;
    };
    switch (kind) {
    case ZFilter::kDropShadow:
        return 23;
    case ZFilter::kBlur:
        return 9;
    case ZFilter::kGlow:
        return 15;
    case ZFilter::kBevel:
        return 27;
    case ZFilter::kGradientGlow:
    case ZFilter::kGradientBevel:
        // The count, colours and ratios, then blur, angle, distance, strength and flags.
        return 1 + 5 * peek(0) + 19;
    case ZFilter::kConvolution:
        // Columns and rows, divisor, bias, the matrix of floats, the default colour and
        // the flags.
        return 2 + 8 + 4 * peek(0) * peek(1) + 5;
    case ZFilter::kColorMatrix:
        return 80;
    default:
        return 0;
    }
}

float ReadFixed(FlashParser& reader) {
    return float(int32_t(reader.ReadUI32())) / 65536.0f;
}

float ReadFixed8(FlashParser& reader) {
    return float(reader.ReadSI16()) / 256.0f;
}

// A FLOAT; values that are not finite read as 0.
float ReadFloat(FlashParser& reader) {
    const uint32_t bits = reader.ReadUI32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? value : 0.0f;
}

ZFilter::Color ReadRgba(FlashParser& reader) {
    ZFilter::Color c;
    c.red = reader.ReadUI8();
    c.green = reader.ReadUI8();
    c.blue = reader.ReadUI8();
    c.alpha = reader.ReadUI8();
    return c;
}

// Blur, angle, distance and strength, then the flags byte with `passBits` of passes.
void ReadShadowTail(FlashParser& reader, ZFilter& f, bool withOffset, uint32_t passBits) {
    f.blurX = ReadFixed(reader);
    f.blurY = ReadFixed(reader);
    if (withOffset) {
        f.angle = ReadFixed(reader);
        f.distance = ReadFixed(reader);
    }
    f.strength = ReadFixed8(reader);
    const uint8_t flags = reader.ReadUI8();
    f.inner = flags & 0x80;
    f.knockout = flags & 0x40;
    f.hideObject = !(flags & 0x20); // the composite-source flag
    if (passBits == 4) f.onTop = flags & 0x10;
    f.passes = uint8_t(flags & ((1u << passBits) - 1));
}

void ReadFilter(FlashParser& reader, ZFilter& f) {
    switch (f.kind) {
    case ZFilter::kDropShadow:
        f.color = ReadRgba(reader);
        ReadShadowTail(reader, f, true, 5);
        break;
    case ZFilter::kBlur:
        f.blurX = ReadFixed(reader);
        f.blurY = ReadFixed(reader);
        f.passes = uint8_t(reader.ReadUI8() >> 3);
        break;
    case ZFilter::kGlow:
        f.color = ReadRgba(reader);
        ReadShadowTail(reader, f, false, 5);
        break;
    case ZFilter::kBevel:
        // Flash writes the highlight before the shadow colour.
        f.highlight = ReadRgba(reader);
        f.color = ReadRgba(reader);
        ReadShadowTail(reader, f, true, 4);
        break;
    case ZFilter::kGradientGlow:
    case ZFilter::kGradientBevel: {
        f.stops.resize(reader.ReadUI8());
        for (ZFilter::Stop& stop : f.stops) stop.color = ReadRgba(reader);
        for (ZFilter::Stop& stop : f.stops) stop.ratio = reader.ReadUI8();
        ReadShadowTail(reader, f, true, 4);
        break;
    }
    case ZFilter::kConvolution: {
        f.columns = reader.ReadUI8();
        f.rows = reader.ReadUI8();
        f.divisor = ReadFloat(reader);
        f.bias = ReadFloat(reader);
        f.kernel.resize(size_t(f.columns) * f.rows);
        for (float& k : f.kernel) k = ReadFloat(reader);
        f.defaultColor = ReadRgba(reader);
        const uint8_t flags = reader.ReadUI8();
        f.clamp = flags & 0x02;
        f.preserveAlpha = flags & 0x01;
        break;
    }
    case ZFilter::kColorMatrix:
        for (float& m : f.matrix) m = ReadFloat(reader);
        break;
    default:
        break;
    }
}

} // namespace

uint32_t ReadFilterList(FlashParser& reader, ZFilterList& filters) {
    filters.clear();
    const uint32_t count = reader.ReadUI8();
    for (uint32_t i = 0; i < count; ++i) {
        if (reader.Position() >= reader.TagEnd()) break;
        const uint8_t kind = reader.ReadUI8();
        const uint64_t size = FilterSize(reader, kind);
        const uint64_t end = uint64_t(reader.Position()) + size;
        if (size == 0 || end > reader.TagEnd()) {
            reader.Seek(reader.TagEnd());
            break;
        }
        ZFilter& f = filters.emplace_back();
        f.kind = ZFilter::Kind(kind);
        ReadFilter(reader, f);
        reader.Seek(uint32_t(end));
    }
    return uint32_t(filters.size());
}

} // namespace UT
