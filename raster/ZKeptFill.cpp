#include "raster/ZKeptFill.h"

#include <algorithm>

void ZKeptFill::Allow(size_t bytes, ZRoom* spanRoom, bool afterDraw, size_t spans) {
    allowed_ = bytes;
    spanRoom_ = spanRoom;
    paintAllowed_ = !afterDraw;
    if (!afterDraw) return;
    segments_.reserve(bytes / sizeof(ZSegment));
    if (spanRoom && spans > spanBytes_ / sizeof(ZSpan) &&
        spanRoom->Take(spans * sizeof(ZSpan) - spanBytes_)) {
        spanBytes_ = spans * sizeof(ZSpan);
        spans_.reserve(spans);
    }
}

bool ZKeptFill::Holds(const Matrix4* transform, int32_t rows) const {
    if (rows_ < 0 || rows != rows_ || (transform != nullptr) != mapped_) return false;
    return !transform || transform->SameBits(transform_);
}

bool ZKeptFill::Keep(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                     const Matrix4* transform, int32_t rows) {
    Forget();
    if (count > allowed_ / sizeof(ZSegment)) return false;
    segments_.assign(segments, segments + count);
    extent_ = extent;
    mapped_ = transform != nullptr;
    if (transform) {
        transform_ = *transform;
        inverse_ = transform->Inverse();
    }
    rows_ = rows;
    return true;
}

void ZKeptFill::KeepSpans(const std::vector<ZSpan>& spans, const ZSpanKey& key) {
    spansTried_ = true;
    const size_t bytes = spans.size() * sizeof(ZSpan);
    if (!spanRoom_ || (bytes > spanBytes_ && !spanRoom_->Take(bytes - spanBytes_))) return;
    spanBytes_ = std::max(spanBytes_, bytes);
    spans_.reserve(spanBytes_ / sizeof(ZSpan));
    spans_.assign(spans.begin(), spans.end());
    spanKey_ = key;
    spansKept_ = true;
}

void ZKeptFill::KeepPaint(ZStencil& stencil, const ZPaintKey& key) {
    if (!spansKept_ || !paintAllowed_ || paintTried_) return;
    paintTried_ = true;
    size_t bytes = 0;
    for (const ZSpan& s : spans_) bytes += 4 * size_t(s.length);
    if (bytes > paintBytes_ && !spanRoom_->Take(bytes - paintBytes_)) return;
    paintBytes_ = std::max(paintBytes_, bytes);
    if (!paint_) paint_ = std::make_unique<ZKeptPaint>();
    paint_->Fetch(stencil, key, spans_);
    paintKept_ = true;
}

void ZKeptFill::PaintSpans(const ZSpanSink& sink, bool withPaint) const {
    if (!withPaint) return sink.PaintKept(spans_.data(), spans_.size());
    ZStencil* const own = sink.job->stencil;
    sink.job->stencil = paint_.get();
    size_t pixel = 0;
    for (const ZSpan& s : spans_) {
        paint_->MoveTo(pixel);
        sink.painter(*sink.job, s.x, s.y, s.length, s.coverage);
        pixel += s.length;
    }
    sink.job->stencil = own;
}
