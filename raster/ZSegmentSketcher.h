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
    // segments that cross the sub-scanlines of rows [0, rows).
    void StartPath(const Matrix4* transform, int32_t rows);
    // Forgets the transform once the path is walked.
    void EndPath() { transform_ = nullptr; }

    void LineTo(float x, float y) final;
    // Lines to each of the n points in turn, as n calls of LineTo would draw them.
    void LineRun(const ZPathElement* points, size_t n);
    void SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1) final;

    const ZSegment* Segments() const { return segments_.data(); }
    size_t SegmentCount() const { return segmentCount_; }
    const ZSegmentExtent& Extent() const { return extent_; }

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
    // Map's fixed-point positions and number test for n points, into the arrays: several
    // points at once where the processor allows, with the same arithmetic.
    void MapPoints(const ZPathElement* points, size_t n, int32_t* fixedX, int32_t* fixedY,
                   bool* isNumber) const;
    // Makes lastEnd_ the segment start (x, y), kept when the previous segment ended there.
    void MapStart(float x, float y);
    void KeepEnd(const DevicePoint& p);
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
};
