// Turns a stroked path into a closed outline path that the renderer fills like a shape.
// The path is replayed into the outliner, which flattens it into a centre line; the line
// is optionally cut into dashes; each contour is then offset by the half width to both
// sides, with joins at interior vertices and caps at open ends.
#pragma once

#include "raster/ZPath.h"
#include "raster/ZSketcher.h"

#include <cstdint>
#include <vector>

// Alternating on and off lengths, starting with on; phase is the distance into the
// pattern at the start of the line.  Owned by the caller.
struct ZDashPattern {
    float phase = 0;
    const float* lengths = nullptr;
    int32_t count = 0;
};

class ZOutliner : public ZSketcher {
public:
    enum CapStyle : int32_t { kButtCap = 0, kRoundCap = 1, kSquareCap = 2 };
    enum JoinStyle : int32_t { kMiterJoin = 0, kBevelJoin = 1, kRoundJoin = 2 };

    ZOutliner();
    ~ZOutliner() override;

    void MoveTo(float x, float y) override;
    // Repeats of the current point are dropped.
    void LineTo(float x, float y) override;
    void Close() override;

    // The outline of path stroked with halfWidth on each side; valid until the next call.
    virtual const ZPath& Outline(const ZPath& path, float halfWidth);

    void SetMiterLimit(float limit) { miterLimit_ = limit; }
    float MiterLimit() const { return miterLimit_; }
    // Both ends; SetEndCapStyle then changes the cap where each line ends.
    void SetCapStyle(int32_t style) { capStyle_ = endCapStyle_ = style; }
    void SetEndCapStyle(int32_t style) { endCapStyle_ = style; }
    int32_t CapStyle() const { return capStyle_; }
    int32_t EndCapStyle() const { return endCapStyle_; }
    // A closed path is then capped at its first point instead of joined there.
    void SetNoClose(bool noClose) { noClose_ = noClose; }
    // 0 miter, 1 bevel, anything else round.
    void SetJoinStyle(int32_t style) { joinStyle_ = style; }
    int32_t JoinStyle() const { return joinStyle_; }
    // Null for solid lines.
    void SetDashPattern(const ZDashPattern* dashes) { dashes_ = dashes; }

    const ZPath& CentreLine() const { return centre_; }
    const ZPath& DashedCentreLine() const { return dashed_; }

private:
    struct Vec {
        float x, y;
    };
    using Side = std::vector<Vec>;

    void Stroke(const ZPath& line, bool closedInput);
    void StrokeContour(const ZPath& line, size_t s, size_t last, bool closedInput);
    Vec Normal(Vec d) const;
    void Join(Vec a, Vec b, Vec c);
    void RoundJoin(Side& side, Vec b, Vec v1, Vec v2, float sign);
    void Cap(Side& out, Vec b, Vec d, int32_t style);
    int RoundSegments(float sweep) const;
    void EmitClosed();
    void EmitOpen(Vec start, Vec startDirection);
    void Dash(const ZPath& line);
    float Piece(int32_t index) const;

    Side sideA_, sideB_;
    ZPath outline_;
    ZPath centre_;
    ZPath dashed_;
    float halfWidth_ = 0;
    float miterLimit_ = 0;
    float roundTolerance_ = 0;
    int32_t capStyle_ = kButtCap;
    int32_t endCapStyle_ = kButtCap;
    bool noClose_ = false;
    int32_t joinStyle_ = kMiterJoin;
    const ZDashPattern* dashes_ = nullptr;
};
