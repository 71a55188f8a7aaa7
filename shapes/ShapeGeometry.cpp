#include "shapes/ShapeGeometry.h"

#include "base/FlashParser.h"
#include "shapes/EdgeGraph.h"
#include "shapes/ShapeRecordReader.h"

namespace UT {

ShapeGeometry::ShapeGeometry(FlashParser& reader, BitmapLookup& bitmaps, const RectF& bounds,
                             int version, const StyleTable* initialStyles)
    : bounds(bounds), reader(reader), version(version), currentStyles(initialStyles) {
    ShapeOutputter out(paths);
    EdgeGraph graph;
    ReadRecords(graph, out, bitmaps);
    graph.Flush(out);
}

ShapeGeometry::~ShapeGeometry() = default;

void ShapeGeometry::ReadRecords(EdgeGraph& graph, PathOutputter& out, BitmapLookup& bitmaps) {
    ShapeRecordReader records(reader, RecordUnits::kTwips);
    records.ReadIndexBits();
    bool pendingMove = false;
    const FillStyle* fill0 = nullptr;
    const FillStyle* fill1 = nullptr;
    const LineStyle* line = nullptr;
    for (;;) {
        const ShapeRecord record = records.Next();
        if (record.kind == ShapeRecord::kEnd) break;
        if (record.kind != ShapeRecord::kStyleChange) {
            if (pendingMove || graph.VertexCount() == 0) {
                graph.MoveTo(records.EdgeStart());
                pendingMove = false;
            }
            Edge& edge = graph.AddEdge(record.anchor);
            if (record.kind == ShapeRecord::kCurvedEdge) {
                edge.curved = true;
                edge.control = record.control;
            }
            continue;
        }
        if (record.flags & ShapeRecord::kMove) pendingMove = true;
        // Indices past the table count as none.
        if (record.flags & ShapeRecord::kFill0) fill0 = currentStyles->Fill(record.fill0);
        if (record.flags & ShapeRecord::kFill1) fill1 = currentStyles->Fill(record.fill1);
        if (record.flags & ShapeRecord::kLine) line = currentStyles->Line(record.line);
        if (record.flags & ShapeRecord::kNewStyles) {
            graph.Flush(out);
            graph.Reset();
            furtherStyles.push_back(std::make_unique<StyleTable>(reader, bitmaps, version));
            currentStyles = furtherStyles.back().get();
            records.ReadIndexBits();
            // Indices that came with the new styles referred to the old table.
            fill0 = nullptr;
            fill1 = nullptr;
            line = nullptr;
        }
        graph.SetStyles(fill0, fill1, line);
    }
}

} // namespace UT
