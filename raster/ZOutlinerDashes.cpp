// Dashing of the centre line: only a dash pattern reaches it, and no caller of the plug-in sets
// one (SetDash); kept as the outliner's specified dashes.
#include "raster/ZOutliner.h"

#include <cmath>

namespace {

// Bound for bad input: a dashed line never has more boundaries than this.
constexpr int kMaxDashBoundaries = 1 << 20;

} // namespace

// Length of a pattern piece; negative and NaN lengths count as 0.
float ZOutliner::Piece(int32_t index) const {
    const float length = dashes_->lengths[index];
    return length > 0.0f ? length : 0.0f;
}

void ZOutliner::Dash(const ZPath& line) {
    const int32_t count = dashes_->count;
    if (count <= 0 || dashes_->lengths == nullptr) return;
    float cycle = 0.0f;
    for (int32_t i = 0; i < count; ++i) cycle += Piece(i);
    if (!(cycle > 0.0f) || std::isinf(cycle)) return;

    // Two passes through the lengths always return to the same state.
    float remaining = dashes_->phase;
    if (!(remaining < 2.0f * cycle)) remaining = std::fmod(remaining, 2.0f * cycle);
    if (std::isnan(remaining)) remaining = 0.0f;
    int32_t index = 0;
    bool on = true;
    while (Piece(index) <= remaining) {
        remaining -= Piece(index);
        index = (index + 1) % count;
        on = !on;
    }

    int boundaries = 0;
    const size_t n = line.Count();
    size_t i = 0;
    while (i < n && line[i].kind != ZPath::kEnd) {
        size_t last = i;
        while (last + 1 < n && line[last + 1].kind == ZPath::kLine) ++last;
        float total = 0.0f;
        for (size_t k = i; k < last; ++k) {
            const float dx = line[k + 1].x - line[k].x, dy = line[k + 1].y - line[k].y;
            total += std::sqrt(dx * dx + dy * dy);
        }
        if (total <= Piece(index) - remaining) {
            if (on) {
                dashed_.MoveTo(line[i].x, line[i].y);
                for (size_t k = i + 1; k <= last; ++k) dashed_.LineTo(line[k].x, line[k].y);
            }
            remaining += total;
            i = last + 1;
            continue;
        }
        if (on) dashed_.MoveTo(line[i].x, line[i].y);
        for (size_t k = i; k < last; ++k) {
            const float x0 = line[k].x, y0 = line[k].y, x1 = line[k + 1].x, y1 = line[k + 1].y;
            const float length = std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
            float used = 0.0f; // distance into this segment
            while (Piece(index) - remaining < length - used && boundaries < kMaxDashBoundaries) {
                used += Piece(index) - remaining;
                const float t = used / length;
                const float x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
                if (on)
                    dashed_.LineTo(x, y);
                else
                    dashed_.MoveTo(x, y);
                remaining = 0.0f;
                index = (index + 1) % count;
                on = !on;
                ++boundaries;
            }
            if (on) dashed_.LineTo(x1, y1);
            remaining += length - used;
        }
        i = last + 1;
    }
}
