#include "shapes/MorphShape.h"

#include "base/FlashParser.h"
#include "shapes/MorphBlend.h"
#include "shapes/RecordWriter.h"

#include <algorithm>

namespace UT {

namespace {

// The offset field counts from the byte after it.
uint32_t ReadEndOffset(FlashParser& reader, uint32_t limit) {
    const uint32_t offset = reader.ReadUI32();
    const uint64_t at = uint64_t{reader.Position()} + offset;
    return static_cast<uint32_t>(std::min<uint64_t>(at, limit));
}

RawRect BlendRect(const RawRect& s, const RawRect& e, const MorphBlend& blend) {
    return {blend.Field(s.xmin, e.xmin), blend.Field(s.xmax, e.xmax), blend.Field(s.ymin, e.ymin),
            blend.Field(s.ymax, e.ymax)};
}

} // namespace

MorphShape::MorphShape(FlashParser& reader, int version, uint32_t limit)
    : version(version), startBounds(reader.ReadRect()), endBounds(reader.ReadRect()),
      startEdgeBounds(version >= 2 ? reader.ReadRect() : RawRect{}),
      endEdgeBounds(version >= 2 ? reader.ReadRect() : RawRect{}),
      flags(version >= 2 ? reader.ReadUI8() : 0), endOffset(ReadEndOffset(reader, limit)),
      styles(reader, version), edges(reader, endOffset, limit) {}

bool MorphShape::WriteShape(uint16_t id, uint16_t ratio, RecordWriter& out) const {
    const MorphBlend blend(ratio);
    out.Clear();
    out.UI16(id);
    out.Rect(BlendRect(startBounds, endBounds, blend));
    if (version >= 2) {
        out.Rect(BlendRect(startEdgeBounds, endEdgeBounds, blend));
        out.UI8(flags);
    }
    styles.Write(blend, out);
    return edges.Write(blend, out);
}

RawRect MorphShape::Extent() const {
    return {std::min(startBounds.xmin, endBounds.xmin), std::max(startBounds.xmax, endBounds.xmax),
            std::min(startBounds.ymin, endBounds.ymin), std::max(startBounds.ymax, endBounds.ymax)};
}

} // namespace UT
