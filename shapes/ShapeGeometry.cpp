#include "shapes/ShapeGeometry.h"

#include "base/FlashParser.h"
#include "shapes/EdgeGraph.h"

namespace UT {

namespace {

enum RecordFlag : uint32_t {
    kMove = 0x01,
    kFill0 = 0x02,
    kFill1 = 0x04,
    kLine = 0x08,
    kNewStyles = 0x10,
};

// Twips to pixels, divided in double precision.
Point3 ToPoint(int32_t x, int32_t y) {
    return Point3{static_cast<float>(x / 20.0), static_cast<float>(y / 20.0), 0.0f};
}

// Pen arithmetic wraps like the 32-bit registers it models instead of overflowing.
int32_t Add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

ShapeGeometry::ShapeGeometry(FlashParser& reader, BitmapLookup& bitmaps, const RectF& bounds,
                             int version, const StyleTable* initialStyles)
    : bounds(bounds), reader(reader), version(version), currentStyles(initialStyles) {
    reader.AlignBits();
    fillBits = reader.ReadUBits(4);
    lineBits = reader.ReadUBits(4);
    ShapeOutputter out(paths);
    EdgeGraph graph;
    ReadRecords(graph, out, bitmaps);
    graph.Flush(out);
}

ShapeGeometry::~ShapeGeometry() = default;

void ShapeGeometry::ReadRecords(EdgeGraph& graph, PathOutputter& out, BitmapLookup& bitmaps) {
    int32_t penX = 0, penY = 0;
    bool pendingMove = false;
    const FillStyle* fill0 = nullptr;
    const FillStyle* fill1 = nullptr;
    const LineStyle* line = nullptr;
    for (;;) {
        if (reader.ReadUBits(1)) {
            if (pendingMove || graph.VertexCount() == 0) {
                graph.MoveTo(ToPoint(penX, penY));
                pendingMove = false;
            }
            const bool straight = reader.ReadUBits(1);
            const uint32_t bits = reader.ReadUBits(4) + 2;
            if (straight) {
                int32_t dx = 0, dy = 0;
                if (reader.ReadUBits(1)) {
                    dx = reader.ReadSBits(bits);
                    dy = reader.ReadSBits(bits);
                } else if (reader.ReadUBits(1)) {
                    dy = reader.ReadSBits(bits);
                } else {
                    dx = reader.ReadSBits(bits);
                }
                penX = Add(penX, dx);
                penY = Add(penY, dy);
                graph.AddEdge(ToPoint(penX, penY));
            } else {
                const int32_t controlX = Add(penX, reader.ReadSBits(bits));
                const int32_t controlY = Add(penY, reader.ReadSBits(bits));
                penX = Add(controlX, reader.ReadSBits(bits));
                penY = Add(controlY, reader.ReadSBits(bits));
                Edge& edge = graph.AddEdge(ToPoint(penX, penY));
                edge.curved = true;
                edge.control = ToPoint(controlX, controlY);
            }
            continue;
        }
        const uint32_t flags = reader.ReadUBits(5);
        if (flags == 0) break;
        if (flags & kMove) {
            const uint32_t moveBits = reader.ReadUBits(5);
            penX = reader.ReadSBits(moveBits);
            penY = reader.ReadSBits(moveBits);
            pendingMove = true;
        }
        // Indices past the table count as none.
        if (flags & kFill0) fill0 = currentStyles->Fill(reader.ReadUBits(fillBits));
        if (flags & kFill1) fill1 = currentStyles->Fill(reader.ReadUBits(fillBits));
        if (flags & kLine) line = currentStyles->Line(reader.ReadUBits(lineBits));
        if (flags & kNewStyles) {
            graph.Flush(out);
            graph.Reset();
            furtherStyles.push_back(std::make_unique<StyleTable>(reader, bitmaps, version));
            currentStyles = furtherStyles.back().get();
            reader.AlignBits();
            fillBits = reader.ReadUBits(4);
            lineBits = reader.ReadUBits(4);
            // Indices that came with the new styles referred to the old table.
            fill0 = nullptr;
            fill1 = nullptr;
            line = nullptr;
        }
        graph.SetStyles(fill0, fill1, line);
    }
}

} // namespace UT
