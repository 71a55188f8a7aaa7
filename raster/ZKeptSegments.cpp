#include "raster/ZKeptSegments.h"

#include <cstring>

void ZKeptSegments::Allow(size_t bytes) {
    allowed_ = bytes;
    segments_.reserve(bytes / sizeof(ZSegment));
}

bool ZKeptSegments::Holds(const Matrix4* transform, int32_t rows) const {
    if (rows_ < 0 || rows != rows_ || (transform != nullptr) != mapped_) return false;
    return !transform || (transform->identity == transform_.identity &&
                          std::memcmp(transform->m, transform_.m, sizeof transform_.m) == 0);
}

bool ZKeptSegments::Keep(const ZSegment* segments, size_t count, const ZSegmentExtent& extent,
                         const Matrix4* transform, int32_t rows) {
    rows_ = -1;
    if (count > allowed_ / sizeof(ZSegment)) return false;
    segments_.assign(segments, segments + count);
    extent_ = extent;
    mapped_ = transform != nullptr;
    if (transform) transform_ = *transform;
    rows_ = rows;
    return true;
}
