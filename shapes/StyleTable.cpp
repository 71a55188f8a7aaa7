#include "shapes/StyleTable.h"

#include "raster/ZGradientStencils.h"
#include "swf/FBitmap.h"
#include "swf/FlashScript.h"
#include "swf/RecordConversions.h"

namespace UT {

namespace {

enum FillType : uint8_t {
    kGradientBit = 0x10,
    kLinearGradient = 0x10,
    kRadialGradient = 0x12,
    kBitmapBit = 0x40,
};

uint32_t ReadStyleCount(FlashParser& reader) {
    const uint32_t count = reader.ReadUI8();
    return count == 255 ? reader.ReadUI16() : count;
}

uint8_t ToStopChannel(float component) {
    return static_cast<uint8_t>(component * 255.0f);
}

} // namespace

StyleTable::StyleTable(FlashScript& movie, bool withAlpha) : withAlpha(withAlpha) {
    ReadFillStyles(movie);
    ReadLineStyles(movie);
}

const FillStyle* StyleTable::Fill(uint32_t index) const {
    return index == 0 || index > fills.size() ? nullptr : &fills[index - 1];
}

const LineStyle* StyleTable::Line(uint32_t index) const {
    return index == 0 || index > lines.size() ? nullptr : &lines[index - 1];
}

void StyleTable::ReadFillStyles(FlashScript& movie) {
    const uint32_t count = ReadStyleCount(movie);
    fills.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t type = movie.ReadUI8();
        FillStyle fill;
        if (type & kGradientBit) {
            const RawMatrix matrix = movie.ReadMatrix();
            const uint32_t stops = movie.ReadUI8();
            ZGradientStencilBase* gradient = nullptr;
            if (type == kLinearGradient) gradient = new ZLinearGradientStencil;
            if (type == kRadialGradient) gradient = new ZRadialGradientStencil;
            // Other gradient kinds are not drawn; their records are left unread and
            // later indices refer to the styles after them.
            if (!gradient) continue;
            fill.paint = Held<ZStencil>::Adopt(gradient);
            fill.patternMatrix = ToFillMatrix(matrix);
            for (uint32_t s = 0; s < stops; ++s) {
                ZGradientStop stop;
                stop.position = movie.ReadUI8() / 255.0f;
                const ColorRGBA color = movie.ReadColor(withAlpha);
                stop.color[0] = ToStopChannel(color.blue);
                stop.color[1] = ToStopChannel(color.green);
                stop.color[2] = ToStopChannel(color.red);
                stop.color[3] = ToStopChannel(color.alpha);
                gradient->AddStop(stop);
            }
        } else if (type & kBitmapBit) {
            const uint16_t bitmapId = movie.ReadUI16();
            const RawMatrix matrix = movie.ReadMatrix();
            const Held<FObject> character = movie.FindCharacter(bitmapId);
            auto* bitmap = dynamic_cast<FBitmap*>(character.Get());
            if (bitmap) fill.paint = Held<ZStencil>::Adopt(bitmap->GetStencil());
            if (fill.paint) {
                fill.patternMatrix = ToFillMatrix(matrix);
            } else {
                // Missing, of another class, or undecodable: the region shows in red.
                fill.color = ColorRGBA{1, 0, 0, 1};
            }
        } else {
            fill.color = movie.ReadColor(withAlpha);
        }
        fills.push_back(std::move(fill));
    }
}

void StyleTable::ReadLineStyles(FlashScript& movie) {
    const uint32_t count = ReadStyleCount(movie);
    lines.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        LineStyle line;
        line.width = static_cast<float>(movie.ReadUI16() / 20.0);
        line.color = movie.ReadColor(withAlpha);
        lines.push_back(std::move(line));
    }
}

} // namespace UT
