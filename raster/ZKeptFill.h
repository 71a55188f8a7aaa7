// What the first fill of a path leaves for the fills of it that follow.  Its device
// segments, with what they were made for: the transform (bit for bit, with its identity
// flag) and the target's height; a later fill made for the same gathers them without
// walking the path.  The owner sets how many bytes of segments it allows.  And, with a
// room to take from, the coverage spans the fill painted, with the target's width, the
// depth and the fill rule they were gathered for; a later fill made for all of those
// paints them again, in the same order, without gathering.  With those spans, at 8 bits,
// the pixels a stencil that keeps its paint gave for them: a later fill with a paint of
// the same key paints them again without asking the stencil.
#pragma once

#include "base/ValueTypes.h"
#include "raster/ZKeptPaint.h"
#include "raster/ZSegment.h"
#include "raster/ZSpanPainter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// An allowance of bytes that kept spans take from.
class ZRoom {
public:
    // False, with nothing taken, when `bytes` no longer fit.
    virtual bool Take(size_t bytes) = 0;

protected:
    ~ZRoom() = default;
};

// What coverage spans were gathered for, beside the segments' transform and height.
struct ZSpanKey {
    int32_t width = -1, depth = 0;
    bool evenOdd = false;
    bool operator==(const ZSpanKey&) const = default;
};

class ZKeptFill {
public:
    // What the owner allows for segments, and the room spans may take from (none: no
    // spans are kept).  A fill kept after its first draw (`afterDraw`) takes the memory
    // of its segments and of `spans` spans (as many as that draw painted) at once, so
    // that keeping them on the next draw allocates nothing, and keeps no paint; other
    // fills keep theirs on their first draw.  Whether anything is kept yet.
    void Allow(size_t bytes, ZRoom* spanRoom = nullptr, bool afterDraw = false, size_t spans = 0);
    size_t Allowed() const { return allowed_; }
    bool Empty() const { return rows_ < 0; }
    // Drops what is kept; the allowances, and the room spans took, stay.
    void Forget() {
        rows_ = -1;
        spansKept_ = spansTried_ = paintKept_ = paintTried_ = false;
    }
    // The bytes spans and their paint took from their room, for the owner to give back.
    size_t SpanBytes() const { return spanBytes_ + paintBytes_; }

    // Whether segments made for this transform (null: none) and height are kept.
    bool Holds(const Matrix4* transform, int32_t rows) const;
    // Keeps segments[0..count) and their extent, made for this transform and height, when
    // they fit the allowance; false, with nothing kept, otherwise.
    bool Keep(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
              const Matrix4* transform, int32_t rows);

    // The inverse of the transform the segments were made for, worked out once.
    const Matrix4& InverseTransform() const { return inverse_; }

    const ZSegment* Segments() const { return segments_.data(); }
    size_t Count() const { return segments_.size(); }
    const ZSegmentExtent& Extent() const { return extent_; }

    // Whether spans are wanted (once, for the segments kept), and kept for this key.
    bool WantsSpans() const { return spanRoom_ != nullptr && !Empty() && !spansTried_; }
    bool HoldsSpans(const ZSpanKey& key) const { return spansKept_ && key == spanKey_; }
    // Keeps spans gathered from the kept segments for `key`, when their room allows.
    void KeepSpans(const std::vector<ZSpan>& spans, const ZSpanKey& key);
    // Keeps the pixels `stencil`, prepared for this fill under `key`, gives for the kept
    // spans, once, when their room allows.
    void KeepPaint(ZStencil& stencil, const ZPaintKey& key);
    bool HoldsPaint(const ZPaintKey& key) const { return paintKept_ && paint_->Holds(key); }
    // Paints the kept spans again, in the order they were gathered; `withPaint`, from the
    // kept pixels instead of the job's stencil.
    void PaintSpans(const ZSpanSink& sink, bool withPaint = false) const;
    // Asks for the first lines of the kept spans, which a replay reads first.
    void PrefetchSpans() const {
        const char* first = reinterpret_cast<const char*>(spans_.data());
        for (size_t at = 0; at < 4 * 64 && at < spans_.size() * sizeof(ZSpan); at += 64)
            __builtin_prefetch(first + at);
    }

private:
    std::vector<ZSegment> segments_;
    ZSegmentExtent extent_;
    Matrix4 transform_, inverse_;
    bool mapped_ = false;
    int32_t rows_ = -1;
    size_t allowed_ = 0;
    std::vector<ZSpan> spans_;
    ZSpanKey spanKey_;
    bool spansKept_ = false, spansTried_ = false;
    ZRoom* spanRoom_ = nullptr;
    size_t spanBytes_ = 0;
    std::unique_ptr<ZKeptPaint> paint_;
    bool paintAllowed_ = false, paintKept_ = false, paintTried_ = false;
    size_t paintBytes_ = 0;
};
