// The sketcher that maps a path's straight segments to device space in fixed point and
// keeps them, with their extent, for the coverage gatherers; curves are flattened where
// they are flat enough on the target.
#pragma once

#include "base/ValueTypes.h"
#include "raster/ZSegment.h"
#include "raster/ZSketcher.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ZSegmentSketcher : public ZSketcher {
public:
    // Starts a path mapped by transform (null: path space is device space), keeping the
    // segments that cross the sub-scanlines of rows [0, rows).  trackBounds: keep the box
    // of the path's vertices as well.
    void StartPath(const Matrix4* transform, int32_t rows, bool trackBounds);
    // Forgets the transform once the path is walked.
    void EndPath() { transform_ = nullptr; }

    void LineTo(float x, float y) final;
    // Lines to each of the n points in turn, as n calls of LineTo would draw them.
    void LineRun(const ZPathElement* points, size_t n);
    void SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) final;

    const ZSegment* Segments() const { return segments_.data(); }
    size_t SegmentCount() const { return segmentCount_; }
    const ZSegmentExtent& Extent() const { return extent_; }
    // The box of the path's vertices in path space (start points feed the minima, end
    // points the maxima), when tracked.
    float MinX() const { return minX_; }
    float MinY() const { return minY_; }
    float MaxX() const { return maxX_; }
    float MaxY() const { return maxY_; }

private:
    // A path point and, when its device position is a number, its scaled fixed-point
    // position (x in 1/256, y in 1/8 pixel).  Small, so that it stays in registers.
    struct DevicePoint {
        float x = 0, y = 0; // path space
        int32_t fixedX = 0, fixedY = 0;
        bool isNumber = false;
    };
    Point3 ToDevice(float x, float y) const;
    DevicePoint Map(float x, float y) const;
    // Makes lastEnd_ the segment start (x, y), kept when the previous segment ended there.
    void MapStart(float x, float y);
    void KeepEnd(const DevicePoint& p);
    void GrowBounds(float minX, float minY, float maxX, float maxY);
    // Room for n more segments after segmentCount_.
    void ReserveSegments(size_t n);
    // Keeps the segment in segments[count] (room for it is there) when it crosses the
    // sub-scanlines [0, limitY).
    static void AddSegment(const DevicePoint& p0, const DevicePoint& p1, int32_t limitY,
                           ZSegment* segments, size_t& count, ZSegmentExtent& extent);

    const Matrix4* transform_ = nullptr;
    int32_t limitY_ = 0;
    // The segments of the current path, segments_[0..segmentCount_), and their extent.
    std::vector<ZSegment> segments_;
    size_t segmentCount_ = 0;
    ZSegmentExtent extent_;
    // Consecutive segments share their joint: it is mapped once.
    DevicePoint lastEnd_;
    bool lastEndKnown_ = false;
    float minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
    bool trackBounds_ = true; // only stencils that are not a solid colour read the box
};
