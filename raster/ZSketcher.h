// The path iterator that flattens curves into straight segments and keeps the current
// point.  The renderer and the outliner derive from it and consume the segments in LineTo.
#pragma once

#include "raster/ZPath.h"

#include <cstdint>

class ZSketcher : public ZPath::Iterator {
public:
    ZSketcher() = default;

    void Begin() override;
    void MoveTo(float x, float y) override;
    // Overrides consume the segment from the current point first, then call this.
    void LineTo(float x, float y) override;
    void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
    void QuadTo(float cx, float cy, float x, float y) override;
    void ArcTo(float rx, float ry, float x, float y, uint32_t reserved,
               int32_t increasing) override;
    void Close() override;

    virtual ~ZSketcher();
    // Adaptive flattener: splits until the control point is within the curve tolerance of
    // the chord.  The path walk never calls it.
    virtual void SubdivideQuad(float x0, float y0, float cx, float cy, float x1, float y1);

    float CurrentX() const { return curX_; }
    float CurrentY() const { return curY_; }

    // One squared-distance tolerance for the whole module; negative or NaN means 0.01.
    static float CurveTolerance();
    static void SetCurveTolerance(float tolerance);

protected:
    // Squared distance of (cx, cy) from the chord; a zero-length chord counts as flat.
    static float ChordDistanceSquared(float x0, float y0, float cx, float cy, float x1, float y1);
    // Splits at t = 1/2 and recurses through the virtual, bounded in depth so that huge or
    // degenerate input cannot explode into billions of segments.
    void SplitQuad(float x0, float y0, float cx, float cy, float x1, float y1);
    bool SplitAllowed() const { return splitDepth_ < kMaxSplitDepth; }

    float startX_ = 0, startY_ = 0;
    float curX_ = 0, curY_ = 0;
    bool newContour_ = false;

private:
    // Enough for any visible curve (65536 segments) while keeping bad input finite.
    static constexpr int kMaxSplitDepth = 16;

    int splitDepth_ = 0;
};
