#include "raster/ZGradient.h"

#include "raster/ZStencil.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kMinShape = 0.0009775171f; // 1/1023: one ramp step
constexpr int kMaxBisections = 10;

// Ramp index of a stop position, clamped so that out-of-range stops stay inside the ramp.
int RampIndex(float p) {
    if (!(p > 0.0f)) return 0;
    if (p >= 1.0f) return ZGradient::kRampSize - 1;
    return static_cast<int>(p * 1023.0f);
}

// The first ramp entry of the stretch that begins at position p, where stops sharing a
// position each hold for one step (1/255) in turn.  Flash Player's pictures show each such
// step centred half a step later than the ramp entry of its position: two entries on.
int StepIndex(float p) {
    if (!(p > 0.0f)) return 0;
    const float k = p * 1023.0f + 2.0f;
    if (k >= 1023.0f) return ZGradient::kRampSize - 1;
    return static_cast<int>(k);
}

uint8_t Mix(uint32_t c0, uint32_t c1, uint32_t w) {
    return ((255 - w) * c0 + w * c1) / 255;
}

// sRGB byte to linear light, 0 to 65535: round(65535 * ((c / 255 + 0.055) / 1.055)^2.4), and
// c / 255 / 12.92 at the dark end.  A table, so that no library's pow decides a pixel.
constexpr uint16_t kLinearOf[256] = {
    0,     20,    40,    60,    80,    99,    119,   139,   159,   179,   199,   219,   241,
    264,   288,   313,   340,   367,   396,   427,   458,   491,   526,   562,   599,   637,
    677,   718,   761,   805,   851,   898,   947,   997,   1048,  1101,  1156,  1212,  1270,
    1330,  1391,  1453,  1517,  1583,  1651,  1720,  1790,  1863,  1937,  2013,  2090,  2170,
    2250,  2333,  2418,  2504,  2592,  2681,  2773,  2866,  2961,  3058,  3157,  3258,  3360,
    3464,  3570,  3678,  3788,  3900,  4014,  4129,  4247,  4366,  4488,  4611,  4736,  4864,
    4993,  5124,  5257,  5392,  5530,  5669,  5810,  5953,  6099,  6246,  6395,  6547,  6700,
    6856,  7014,  7174,  7335,  7500,  7666,  7834,  8004,  8177,  8352,  8528,  8708,  8889,
    9072,  9258,  9445,  9635,  9828,  10022, 10219, 10417, 10619, 10822, 11028, 11235, 11446,
    11658, 11873, 12090, 12309, 12530, 12754, 12980, 13209, 13440, 13673, 13909, 14146, 14387,
    14629, 14874, 15122, 15371, 15623, 15878, 16135, 16394, 16656, 16920, 17187, 17456, 17727,
    18001, 18277, 18556, 18837, 19121, 19407, 19696, 19987, 20281, 20577, 20876, 21177, 21481,
    21787, 22096, 22407, 22721, 23038, 23357, 23678, 24002, 24329, 24658, 24990, 25325, 25662,
    26001, 26344, 26688, 27036, 27386, 27739, 28094, 28452, 28813, 29176, 29542, 29911, 30282,
    30656, 31033, 31412, 31794, 32179, 32567, 32957, 33350, 33745, 34143, 34544, 34948, 35355,
    35764, 36176, 36591, 37008, 37429, 37852, 38278, 38706, 39138, 39572, 40009, 40449, 40891,
    41337, 41785, 42236, 42690, 43147, 43606, 44069, 44534, 45002, 45473, 45947, 46423, 46903,
    47385, 47871, 48359, 48850, 49344, 49841, 50341, 50844, 51349, 51858, 52369, 52884, 53401,
    53921, 54445, 54971, 55500, 56032, 56567, 57105, 57646, 58190, 58737, 59287, 59840, 60396,
    60955, 61517, 62082, 62650, 63221, 63795, 64372, 64952, 65535,
};

// The sRGB byte whose linear value lies nearest (the darker one on a tie).
uint8_t SrgbOf(uint32_t linear) {
    const uint16_t* const end = kLinearOf + 256;
    const uint16_t* above = std::lower_bound(kLinearOf, end, linear);
    if (above == end) return 255;
    if (above == kLinearOf) return 0;
    const uint16_t* below = above - 1;
    return uint8_t((linear - *below <= *above - linear ? below : above) - kLinearOf);
}

uint8_t MixLinear(uint32_t c0, uint32_t c1, uint32_t w) {
    return SrgbOf(((255 - w) * kLinearOf[c0] + w * kLinearOf[c1]) / 255);
}

uint32_t WeightOf(float s) {
    const float w = 255.0f * s;
    if (!(w > 0.0f)) return 0;
    if (w >= 255.0f) return 255;
    return static_cast<uint32_t>(w);
}

} // namespace

ZGradient::ZGradient() {
    std::memset(ramp_, 0, sizeof(ramp_));
}

ZGradient::~ZGradient() = default;

void ZGradient::AddStop(const ZGradientStop& stop) {
    stops_.push_back(stop);
    dirty_ = true;
    StopsChanged();
}

void ZGradient::CopyStopsFrom(const ZGradient& other) {
    stops_ = other.stops_;
    linearRGB_ = other.linearRGB_;
    spread_ = other.spread_;
    dirty_ = true;
    StopsChanged();
}

void ZGradient::TransformStops(const ColorTransform& cx) {
    for (ZGradientStop& s : stops_) ZTransformPixel(cx, s.color);
    dirty_ = true;
    StopsChanged();
}

void ZGradient::FillRange(int from, int to, const uint8_t* color) {
    for (int k = from; k <= to; ++k) std::memcpy(ramp_[k], color, 4);
}

float ZGradient::SolveBezier(float x0, float x1, float x2, float x3, float target) {
    if (x1 == x0 && x3 == x2) return (target - x0) / (x3 - x0);
    // Power form: X(s) = x0 + c1 s + c2 s^2 + c3 s^3.
    const float c1 = 3.0f * (x1 - x0);
    const float c2 = 3.0f * (x0 - 2.0f * x1 + x2);
    const float c3 = x3 - x0 + 3.0f * (x1 - x2);
    float lo = 0.0f, hi = 1.0f, s = 0.5f;
    for (int round = 0; round < kMaxBisections; ++round) {
        s = (lo + hi) * 0.5f;
        const float x = x0 + s * (c1 + s * (c2 + s * c3));
        if (std::fabs(x - target) < kMinShape) return s;
        if (x < target)
            lo = s;
        else
            hi = s;
    }
    return s;
}

void ZGradient::BlendPair(const ZGradientStop& s0, const ZGradientStop& s1, int from, int to) {
    const int i0 = RampIndex(s0.position), i1 = RampIndex(s1.position);
    from = std::max(from, 0);
    to = std::min(to, kRampSize);
    if (i1 <= i0) {
        // Stops sharing a position (or a falling one): the first colour holds.
        if (from < to) FillRange(from, to - 1, s0.color);
        return;
    }
    float e = s0.a, f = 1.0f - s0.b;
    const bool linear = e == 0.5f && f == 0.5f;
    if (!linear) {
        if (!(e >= kMinShape)) e = kMinShape;
        if (!(f >= kMinShape)) f = kMinShape;
    }
    const float p0 = s0.position, p1 = s1.position, span = p1 - p0;
    // The straight blend's weight 255 (k - i0) / (i1 - i0), stepped by its whole and
    // remainder parts instead of divided at every entry.
    const uint32_t length = static_cast<uint32_t>(i1 - i0);
    const uint32_t wholeStep = 255u / length, partStep = 255u % length;
    const uint32_t first = 255u * static_cast<uint32_t>(std::clamp(from, i0 + 1, i1) - i0);
    uint32_t whole = first / length, part = first % length; // of the first entry inside
    uint32_t lastWeight = 256;                              // no entry made yet
    for (int k = from; k < to; ++k) {
        if (k <= i0 || k >= i1) {
            std::memcpy(ramp_[k], k <= i0 ? s0.color : s1.color, 4);
            continue;
        }
        uint32_t w;
        if (linear) {
            w = whole;
            whole += wholeStep;
            part += partStep;
            if (part >= length) {
                part -= length;
                ++whole;
            }
        } else {
            w = WeightOf(SolveBezier(p0, p0 + e * span, p1 - f * span, p1, k / 1023.0f));
        }
        // Neighbouring entries of one weight share their colour.
        if (w == lastWeight) {
            std::memcpy(ramp_[k], ramp_[k - 1], 4);
            continue;
        }
        lastWeight = w;
        for (int c = 0; c < 4; ++c) {
            const bool light = linearRGB_ && c < 3; // alpha always blends as stored
            ramp_[k][c] =
                light ? MixLinear(s0.color[c], s1.color[c], w) : Mix(s0.color[c], s1.color[c], w);
        }
    }
}

// Stops are taken in the order they were added, as Flash Player reads a gradient record.  The
// ramp walks them like a 256-step one whose current pair moves on by at most one stop a step:
// pair i (stops i and i + 1) holds from where pair i - 1 gave way until a step lies past stop
// i's position and reaches stop i + 1's.  A pair blends between its stops' own positions
// (padding with their colours outside them); a pair whose second stop does not lie above the
// first (a shared or falling position) shows its first colour.  So stops sharing a position
// make a hard step whose middle stops each show for one step, and a stop written below the
// one before it shows only once that one is passed, blending from where it was written.
void ZGradient::BuildRamp() {
    if (!dirty_) return;
    dirty_ = false;
    // Start from zero on every build so that a rebuild never keeps entries of old stops.
    std::memset(ramp_, 0, sizeof(ramp_));
    std::vector<ZGradientStop> stops;
    for (const ZGradientStop& s : stops_)
        if (!(s.position < 0.0f)) stops.push_back(s);
    const size_t n = stops.size();
    if (n == 0) return;
    constexpr float kStep = 1.0f / 255.0f;
    float start = 0.0f; // where the current pair takes over
    for (size_t i = 0; i + 1 < n; ++i) {
        const float next =
            std::max({stops[i].position + kStep, stops[i + 1].position, start + kStep});
        const int from = StepIndex(start);
        const int to = next >= 1.0f + kStep / 2 ? kRampSize : StepIndex(next);
        BlendPair(stops[i], stops[i + 1], from, to);
        start = next;
    }
    if (start < 1.0f + kStep / 2) FillRange(StepIndex(start), kRampSize - 1, stops[n - 1].color);
}
