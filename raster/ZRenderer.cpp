#include "raster/ZRenderer.h"

#include "raster/ZPaintBox.h"
#include "raster/ZStencil.h"

namespace {

// Where spans are only gathered, to be painted once kept.
void GatherOnly(ZSpanJob&, int32_t, int32_t, int32_t, uint32_t) {}

} // namespace

ZRenderer::ZRenderer() = default;

ZRenderer::~ZRenderer() = default;

// The path is walked into segments; their coverage is gathered on the grid where the fill
// fits it, from sorted cells otherwise, and painted in spans by the targets' painter.  A
// kept fill stands in for the walk, and for the gathering too, where it holds them.
void ZRenderer::FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil,
                         ZFillRule fillRule) {
    const bool solid = stencil != nullptr && stencil->IsSolidColor();
    FillPath(path, transform, stencil, fillRule, solid ? kEmptyBox : ZMeasurePaintBox(path));
}

void ZRenderer::FillPath(const ZPath& path, const Matrix4* transform, ZStencil* stencil,
                         ZFillRule fillRule, const RectF& paintBox, ZKeptFill* kept) {
    ZSpanJob& job = targets_.Job();
    const bool countSpans = countNext_;
    countNext_ = false;
    lastSpans_ = 0;
    const bool solid = stencil != nullptr && stencil->IsSolidColor();
    if (solid) {
        stencil->NextPixel8(job.solid8);
        ZWidenPixel(job.solid8, job.solid16);
    }
    const bool visible = stencil != nullptr && !(solid && job.solid8[3] == 0);
    if (visible && targets_.PrepareJob(stencil, solid)) {
        const int32_t rows = targets_.ScanHeight();
        const bool held = kept != nullptr && kept->Holds(transform, rows);
        if (!solid && transform != nullptr)
            stencil->SetDeviceMatrix(held ? kept->InverseTransform() : transform->Inverse());
        if (!held) {
            StartPath(transform, rows);
            path.Walk(*this);
            EndPath();
            // Only the first: a path drawn at several places keeps its first.
            if (kept != nullptr && kept->Empty())
                kept->Keep(Segments(), SegmentCount(), Extent(), transform, rows);
        }
        const ZSegment* segments = held ? kept->Segments() : Segments();
        const size_t count = held ? kept->Count() : SegmentCount();
        const ZSegmentExtent& extent = held ? kept->Extent() : Extent();
        if (!solid) stencil->SetBounds(paintBox.xmin, paintBox.ymin, paintBox.xmax, paintBox.ymax);
        const bool evenOdd = fillRule == ZFillRule::kEvenOdd;
        const int32_t depth = targets_.Depth(), width = targets_.ScanWidth();
        const ZSpanKey key{width, depth, evenOdd};
        const ZSpanSink sink = targets_.Sink();
        ZPaintKey paintKey;
        const bool keyed = kept != nullptr && !solid && depth == 1 && stencil->PaintKey(paintKey);
        if (held && kept->HoldsSpans(key)) {
            if (keyed) kept->KeepPaint(*stencil, paintKey);
            kept->PaintSpans(sink, keyed && kept->HoldsPaint(paintKey));
        } else {
            const bool keep = kept != nullptr && kept->WantsSpans();
            // Spans whose paint may be kept with them are painted once they are kept.
            const bool paintAfter = keep && keyed;
            ZSpanSink gather = sink;
            if (keep || countSpans) {
                recorded_.clear();
                gather.record = &recorded_;
            }
            if (paintAfter) gather.painter = GatherOnly;
            if (count != 0 && ZGridCoverage::Fits(count, extent, width))
                grid_.Gather(segments, count, extent, width, depth, evenOdd, gather);
            else if (count != 0)
                cells_.Gather(segments, count, extent, width, rows, depth, evenOdd, gather);
            if (keep) kept->KeepSpans(recorded_, key);
            if (paintAfter && kept->HoldsSpans(key)) {
                kept->KeepPaint(*stencil, paintKey);
                kept->PaintSpans(sink, kept->HoldsPaint(paintKey));
            } else if (paintAfter) {
                for (const ZSpan& s : recorded_)
                    sink.painter(*sink.job, s.x, s.y, s.length, s.coverage);
            }
            if (countSpans) lastSpans_ = recorded_.size();
        }
    }
    targets_.EndJob();
}
