#include "shapes/StyleTable.h"

#include "base/FlashParser.h"
#include "base/RecordConversions.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZOutliner.h"
#include "shapes/BitmapLookup.h"
#include "shapes/StyleCodes.h"

namespace UT {

namespace {

// The gradient count byte's spread and interpolation fields.
constexpr uint32_t kSpreadShift = 6;
constexpr uint32_t kInterpolationShift = 4;
constexpr uint32_t kLinearRGB = 1;

// LINESTYLE2 flag bits, the first flag byte in its high bits.
constexpr uint32_t kHasFillFlag = 0x0800;
constexpr uint32_t kNoHScaleFlag = 0x0400;
constexpr uint32_t kNoVScaleFlag = 0x0200;
constexpr uint32_t kNoCloseFlag = 0x0004;

uint8_t ToStopChannel(float component) {
    return static_cast<uint8_t>(component * 255.0f);
}

// The file's caps (0 round, 1 none, 2 square) and joins (0 round, 1 bevel, 2 miter) as the
// outliner counts them; the reserved value 3 draws round.
int32_t ToCap(uint32_t code) {
    return code == 1   ? ZOutliner::kButtCap
           : code == 2 ? ZOutliner::kSquareCap
                       : ZOutliner::kRoundCap;
}

int32_t ToJoin(uint32_t code) {
    return code == 1   ? ZOutliner::kBevelJoin
           : code == 2 ? ZOutliner::kMiterJoin
                       : ZOutliner::kRoundJoin;
}

} // namespace

StyleTable::StyleTable(FlashParser& reader, BitmapLookup& bitmaps, int version)
    : version(version), withAlpha(version >= 3) {
    ReadFillStyles(reader, bitmaps);
    ReadLineStyles(reader, bitmaps);
}

const FillStyle* StyleTable::Fill(uint32_t index) const {
    return index == 0 || index > fills.size() ? nullptr : &fills[index - 1];
}

const LineStyle* StyleTable::Line(uint32_t index) const {
    return index == 0 || index > lines.size() ? nullptr : &lines[index - 1];
}

void StyleTable::ReadFillStyles(FlashParser& reader, BitmapLookup& bitmaps) {
    const uint32_t count = ReadStyleCount(reader);
    fills.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        FillStyle fill;
        if (ReadFillStyle(reader, bitmaps, fill)) fills.push_back(std::move(fill));
    }
}

bool StyleTable::ReadFillStyle(FlashParser& reader, BitmapLookup& bitmaps, FillStyle& fill) {
    const uint8_t type = reader.ReadUI8();
    if (type & kGradientBit) {
        const bool drawn = type == kLinearGradient || type == kRadialGradient ||
                           (type == kFocalGradient && version >= 4);
        if (!drawn) {
            // Other gradient kinds are not drawn; their records are left unread and later
            // indices refer to the styles after them.
            reader.ReadMatrix();
            reader.ReadUI8();
            return false;
        }
        ReadGradient(reader, type, fill);
    } else if (type & kBitmapBit) {
        const uint16_t bitmapId = reader.ReadUI16();
        const RawMatrix matrix = reader.ReadMatrix();
        fill.paint = bitmaps.BitmapPaint(bitmapId);
        fill.clamped = type & kClippedBit;
        fill.smoothed = !(type & kUnsmoothedBit);
        if (fill.paint)
            fill.patternMatrix = ToFillMatrix(matrix);
        else
            fill.drawsNothing = true; // missing, of another class, or undecodable
    } else {
        fill.color = reader.ReadColor(withAlpha);
    }
    return true;
}

void StyleTable::ReadGradient(FlashParser& reader, uint8_t type, FillStyle& fill) {
    const RawMatrix matrix = reader.ReadMatrix();
    const uint32_t countByte = reader.ReadUI8();
    auto* gradient = type == kLinearGradient
                         ? static_cast<ZGradientStencilBase*>(new ZLinearGradientStencil)
                         : new ZRadialGradientStencil;
    fill.paint = Held<ZStencil>::Adopt(gradient);
    fill.patternMatrix = ToFillMatrix(matrix);
    const uint32_t spread = (countByte >> kSpreadShift) & 3;
    // The reserved spread value pads.
    gradient->SetSpread(spread == 1   ? ZGradient::kReflect
                        : spread == 2 ? ZGradient::kRepeat
                                      : ZGradient::kPad);
    gradient->SetLinearRGB(((countByte >> kInterpolationShift) & 3) == kLinearRGB);
    const uint32_t stops = countByte & kStopCountMask;
    if (stops == 0) {
        // A record without stops fills with opaque black.
        ZGradientStop black;
        black.color[3] = 255;
        gradient->AddStop(black);
    }
    for (uint32_t s = 0; s < stops; ++s) {
        ZGradientStop stop;
        stop.position = reader.ReadUI8() / 255.0f;
        const ColorRGBA color = reader.ReadColor(withAlpha);
        stop.color[0] = ToStopChannel(color.blue);
        stop.color[1] = ToStopChannel(color.green);
        stop.color[2] = ToStopChannel(color.red);
        stop.color[3] = ToStopChannel(color.alpha);
        gradient->AddStop(stop);
    }
    if (type == kFocalGradient)
        static_cast<ZRadialGradientStencil*>(gradient)->SetFocalPoint(reader.ReadSI16() / 256.0f);
}

void StyleTable::ReadLineStyles(FlashParser& reader, BitmapLookup& bitmaps) {
    const uint32_t count = ReadStyleCount(reader);
    lines.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        LineStyle line;
        line.width = static_cast<float>(reader.ReadUI16() / double(kTwipsPerPixel));
        if (version >= 4)
            ReadLineStyle2(reader, bitmaps, line);
        else
            line.color = reader.ReadColor(withAlpha);
        lines.push_back(std::move(line));
    }
}

// After the width: the caps, join and flags, the miter limit for miter joins, then a
// colour or a fill style.
void StyleTable::ReadLineStyle2(FlashParser& reader, BitmapLookup& bitmaps, LineStyle& line) {
    const uint32_t flags = reader.ReadUI16();
    // The first byte (read first) is StartCap:2 Join:2 HasFill:1 NoHScale:1 NoVScale:1
    // PixelHinting:1, the second Reserved:5 NoClose:1 EndCap:2.
    const uint32_t bits = (flags & 0xFF) << 8 | flags >> 8;
    line.startCap = ToCap(bits >> 14);
    line.join = ToJoin((bits >> 12) & 3);
    line.endCap = ToCap(bits & 3);
    line.noClose = bits & kNoCloseFlag;
    line.noHScale = bits & kNoHScaleFlag;
    line.noVScale = bits & kNoVScaleFlag;
    if (((bits >> 12) & 3) == kJoinMiter) line.miterLimit = reader.ReadUI16() / 256.0f;
    line.hasFill = bits & kHasFillFlag;
    if (!line.hasFill) {
        line.color = reader.ReadColor(true);
        return;
    }
    // A gradient kind that is not drawn leaves the stroke without paint or colour.
    if (ReadFillStyle(reader, bitmaps, line.fill) && !line.fill.paint) line.color = line.fill.color;
}

} // namespace UT
