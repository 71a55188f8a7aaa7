// A path's device segments kept from one fill, with what they were made for: the transform
// (bit for bit, with its identity flag) and the target's height.  A later fill of the same
// path made for the same gathers them again without walking the path.  The owner sets how
// many bytes of segments it allows; segments beyond that are not kept.
#pragma once

#include "base/ValueTypes.h"
#include "raster/ZSegment.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZKeptSegments {
public:
    // What the owner allows, taken at once, so that keeping later allocates nothing; and
    // whether anything is kept yet.
    void Allow(size_t bytes);
    size_t Allowed() const { return allowed_; }
    bool Empty() const { return rows_ < 0; }
    // Drops what is kept; the allowance stays.
    void Forget() { rows_ = -1; }

    // Whether segments made for this transform (null: none) and height are kept.
    bool Holds(const Matrix4* transform, int32_t rows) const;
    // Keeps segments[0..count) and their extent, made for this transform and height, when
    // they fit the allowance; false, with nothing kept, otherwise.
    bool Keep(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
              const Matrix4* transform, int32_t rows);

    const ZSegment* Segments() const { return segments_.data(); }
    size_t Count() const { return segments_.size(); }
    const ZSegmentExtent& Extent() const { return extent_; }

private:
    std::vector<ZSegment> segments_;
    ZSegmentExtent extent_;
    Matrix4 transform_;
    bool mapped_ = false;
    int32_t rows_ = -1;
    size_t allowed_ = 0;
};
