#include "swf/SurfaceFilters.h"

#include "base/FlashParser.h"

namespace UT {

namespace {

enum FilterKind : uint8_t {
    kDropShadow = 0,
    kBlur = 1,
    kGlow = 2,
    kBevel = 3,
    kGradientGlow = 4,
    kConvolution = 5,
    kColorMatrix = 6,
    kGradientBevel = 7,
};

// Bytes after the kind byte; 0 for a kind this reader does not know.  Reads the counts
// that decide the size of the gradient and convolution filters.
uint64_t FilterSize(FlashParser& reader, uint8_t kind) {
    switch (kind) {
    case kDropShadow:
        return 23;
    case kBlur:
        return 9;
    case kGlow:
        return 15;
    case kBevel:
        return 27;
    case kGradientGlow:
    case kGradientBevel:
        // Colours and ratios, then blur, angle, distance, strength and flags.
        return 5 * uint64_t(reader.ReadUI8()) + 19;
    case kConvolution: {
        const uint64_t columns = reader.ReadUI8(), rows = reader.ReadUI8();
        // Divisor, bias, the matrix of floats, the default colour and the flags.
        return 8 + 4 * columns * rows + 5;
    }
    case kColorMatrix:
        return 80;
    default:
        return 0;
    }
}

} // namespace

uint32_t SkipFilterList(FlashParser& reader) {
    const uint32_t count = reader.ReadUI8();
    uint32_t passed = 0;
    for (; passed < count; ++passed) {
        if (reader.Position() >= reader.TagEnd()) break;
        const uint8_t kind = reader.ReadUI8();
        const uint64_t size = FilterSize(reader, kind);
        const uint64_t end = uint64_t(reader.Position()) + size;
        if (size == 0 || end > reader.TagEnd()) {
            reader.Seek(reader.TagEnd());
            break;
        }
        reader.Seek(uint32_t(end));
    }
    return passed;
}

} // namespace UT
