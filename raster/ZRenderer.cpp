#include "raster/ZRenderer.h"

#include "raster/ZPaintBox.h"
#include "raster/ZStencil.h"

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
    } else if (stencil != nullptr && transform != nullptr) {
        stencil->SetDeviceMatrix(transform->Inverse());
    }
    const bool visible = stencil != nullptr && !(solid && job.solid8[3] == 0);
    if (visible && targets_.PrepareJob(stencil, solid)) {
        const int32_t rows = targets_.ScanHeight();
        const bool held = kept != nullptr && kept->Holds(transform, rows);
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
        ZSpanSink sink = targets_.Sink();
        if (held && kept->HoldsSpans(key)) {
            kept->PaintSpans(sink);
        } else {
            const bool keep = kept != nullptr && kept->WantsSpans();
            if (keep || countSpans) {
                recorded_.clear();
                sink.record = &recorded_;
            }
            if (count != 0 && ZGridCoverage::Fits(count, extent, width))
                grid_.Gather(segments, count, extent, width, depth, evenOdd, sink);
            else if (count != 0)
                cells_.Gather(segments, count, extent, width, rows, depth, evenOdd, sink);
            if (keep) kept->KeepSpans(recorded_, key);
            if (countSpans) lastSpans_ = recorded_.size();
        }
    }
    targets_.EndJob();
}
