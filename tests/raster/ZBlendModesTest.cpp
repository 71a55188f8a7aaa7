// The fourteen blend modes on 8-bit premultiplied colour: every channel formula against a
// reference computed in real arithmetic, and whole pixels composited onto a straight-alpha
// backdrop with values worked out by hand.
#include "raster/ZBlendModes.h"
#include "raster/ZLanes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The blend of real premultiplied values in 0..1, as the modes define it.
double Reference(ZBlendMode mode, double s, double sa, double d, double da) {
    const double sn = sa > 0 ? s / sa : 0, dn = da > 0 ? d / da : 0;
    auto separable = [&](double b) { return s * (1 - da) + d * (1 - sa) + sa * da * b; };
    auto overlay = [](double a, double b) { // the test is on b
        return b <= 0.5 ? 2 * a * b : 1 - 2 * (1 - b) * (1 - a);
    };
    switch (mode) {
    case ZBlendMode::kAdd:
        return std::min(1.0, s + d);
    case ZBlendMode::kSubtract:
        return std::max(0.0, d - s);
    case ZBlendMode::kScreen:
        return s + d * (1 - s);
    case ZBlendMode::kMultiply:
        return separable(sn * dn);
    case ZBlendMode::kLighten:
        return separable(std::max(sn, dn));
    case ZBlendMode::kDarken:
        return separable(std::min(sn, dn));
    case ZBlendMode::kDifference:
        return separable(std::abs(dn - sn));
    case ZBlendMode::kOverlay:
        return separable(overlay(sn, dn));
    case ZBlendMode::kHardLight:
        return separable(overlay(dn, sn));
    case ZBlendMode::kInvert:
        return separable(1 - dn);
    case ZBlendMode::kAlpha:
        return d * sa;
    case ZBlendMode::kErase:
        return d * (1 - sa);
    default:
        return s + d * (1 - sa);
    }
}

const ZBlendMode kModes[] = {ZBlendMode::kNormal,     ZBlendMode::kLayer,    ZBlendMode::kMultiply,
                             ZBlendMode::kScreen,     ZBlendMode::kLighten,  ZBlendMode::kDarken,
                             ZBlendMode::kDifference, ZBlendMode::kAdd,      ZBlendMode::kSubtract,
                             ZBlendMode::kInvert,     ZBlendMode::kAlpha,    ZBlendMode::kErase,
                             ZBlendMode::kOverlay,    ZBlendMode::kHardLight};

} // namespace

// All 256 x 256 straight source and backdrop values of one channel, premultiplied by a set
// of alphas, within one step of the reference.
TEST(ZBlendModes, EveryChannelValueAgainstTheReference) {
    const uint32_t alphas[] = {1, 64, 128, 200, 254, 255};
    for (ZBlendMode mode : kModes)
        for (uint32_t sa : alphas)
            for (uint32_t da : alphas) {
                int worst = 0;
                for (uint32_t sv = 0; sv < 256; ++sv)
                    for (uint32_t dv = 0; dv < 256; ++dv) {
                        const uint32_t s = (sv * sa + 127) / 255, d = (dv * da + 127) / 255;
                        const double ref =
                            Reference(mode, s / 255.0, sa / 255.0, d / 255.0, da / 255.0) * 255.0;
                        const int got = int(ZBlendChannel(mode, s, sa, d, da));
                        worst = std::max(worst, std::abs(got - int(std::lround(ref))));
                    }
                EXPECT_LE(worst, 1) << "mode " << int(mode) << " sa " << sa << " da " << da;
            }
}

// A square (opaque, then translucent: premultiplied 50, 75, 100 at alpha 128) over a
// backdrop of two colours, opaque (200, 100, 50) and translucent blue (0, 0, 255) at 128.
// Colours red, green, blue, alpha; the result is straight, as the picture stores it.
TEST(ZBlendModes, SquareOverTwoColourBackdrop) {
    struct Px {
        uint8_t r, g, b, a;
    };
    const Px opaque{100, 150, 200, 255}, translucent{50, 75, 100, 128};
    const Px orange{200, 100, 50, 255}, blue{0, 0, 255, 128};
    const struct {
        ZBlendMode mode;
        Px layer, backdrop, expected;
    } cases[] = {
        {ZBlendMode::kNormal, opaque, orange, {100, 150, 200, 255}},
        {ZBlendMode::kLayer, translucent, orange, {150, 125, 125, 255}},
        {ZBlendMode::kMultiply, opaque, orange, {78, 59, 39, 255}},
        {ZBlendMode::kMultiply, opaque, blue, {50, 75, 200, 255}},
        {ZBlendMode::kMultiply, translucent, orange, {139, 79, 45, 255}},
        {ZBlendMode::kScreen, opaque, orange, {222, 191, 211, 255}},
        {ZBlendMode::kLighten, opaque, orange, {200, 150, 200, 255}},
        {ZBlendMode::kDarken, opaque, orange, {100, 100, 50, 255}},
        {ZBlendMode::kDifference, opaque, orange, {100, 50, 150, 255}},
        {ZBlendMode::kAdd, opaque, orange, {255, 250, 250, 255}},
        {ZBlendMode::kSubtract, opaque, orange, {100, 0, 0, 255}},
        {ZBlendMode::kInvert, opaque, orange, {55, 155, 205, 255}},
        // 200 at alpha 128 is stored premultiplied as 100, which reads back as 199.
        {ZBlendMode::kAlpha, translucent, orange, {199, 100, 50, 128}},
        {ZBlendMode::kAlpha, translucent, blue, {0, 0, 255, 64}},
        {ZBlendMode::kErase, opaque, orange, {0, 0, 0, 0}},
        {ZBlendMode::kErase, translucent, orange, {201, 100, 50, 127}},
        {ZBlendMode::kOverlay, opaque, orange, {188, 118, 78, 255}},
        {ZBlendMode::kHardLight, opaque, orange, {157, 127, 167, 255}},
        // Where the layer holds nothing the backdrop stays, whatever the mode.
        {ZBlendMode::kAlpha, {0, 0, 0, 0}, orange, {200, 100, 50, 255}},
        {ZBlendMode::kErase, {0, 0, 0, 0}, blue, {0, 0, 255, 128}},
    };
    for (const auto& c : cases) {
        const uint8_t layer[4] = {c.layer.b, c.layer.g, c.layer.r, c.layer.a};
        uint8_t target[4] = {c.backdrop.b, c.backdrop.g, c.backdrop.r, c.backdrop.a};
        ZCompositeRow(c.mode, layer, target, nullptr, 1);
        const Px got{target[2], target[1], target[0], target[3]};
        EXPECT_TRUE(got.r == c.expected.r && got.g == c.expected.g && got.b == c.expected.b &&
                    got.a == c.expected.a)
            << "mode " << int(c.mode) << ": " << int(got.r) << "," << int(got.g) << ","
            << int(got.b) << "," << int(got.a);
    }
    // A clip coverage of 0 keeps the backdrop; 255 acts fully.
    const uint8_t layer[8] = {200, 150, 100, 255, 200, 150, 100, 255};
    uint8_t target[8] = {50, 100, 200, 255, 50, 100, 200, 255};
    const uint8_t coverage[2] = {0, 255};
    ZCompositeRow(ZBlendMode::kNormal, layer, target, coverage, 2);
    EXPECT_EQ(std::vector<uint8_t>(target, target + 8),
              (std::vector<uint8_t>{50, 100, 200, 255, 200, 150, 100, 255}));
}

// Premultiplying rounds each colour channel times its alpha over 255 and keeps the alpha,
// for every channel value at every alpha, in rows of every length up to a few groups.
TEST(ZBlendModes, PremultiplyRoundsEveryChannelAtEveryAlpha) {
    for (uint32_t a = 0; a < 256; ++a) {
        std::vector<uint8_t> row;
        for (uint32_t c = 0; c < 256; ++c)
            row.insert(row.end(), {uint8_t(c), uint8_t(255 - c), uint8_t(c ^ 0x5A), uint8_t(a)});
        const std::vector<uint8_t> before = row;
        for (int32_t start = 0; start < 256;) {
            const int32_t length = std::min<int32_t>(1 + (start + int32_t(a)) % 11, 256 - start);
            ZPremultiplyRow(row.data() + 4 * start, length);
            start += length;
        }
        for (size_t i = 0; i < row.size(); ++i) {
            const uint32_t expected = i % 4 == 3 ? a : (before[i] * a + 127) / 255;
            ASSERT_EQ(row[i], expected) << "alpha " << a << " byte " << i;
        }
    }
}

// A row composites exactly as its pixels one by one, in every mode: every pair of channel
// values opaque onto opaque, in groups of four that are all opaque and groups that are
// not (a translucent or transparent layer pixel, a translucent target, a partial clip).
TEST(ZBlendModes, RowsCompositeAsTheirPixelsOneByOne) {
    std::vector<uint8_t> layer, target, coverage;
    // Layers opaque, translucent and all but transparent over every pair of channel values,
    // onto opaque targets, transparent ones and translucent ones.
    for (const uint8_t base : {255, 0, 200, 3})
        for (const uint32_t alpha : {255u, 254u, 140u, 1u})
            for (uint32_t s = 0; s < 256; ++s)
                for (uint32_t d = 0; d < 256; d += 5) {
                    const size_t i = coverage.size();
                    // One pixel in 37 differs: a transparent or translucent layer pixel, a
                    // translucent target, both, or a partial clip.  One run of layer
                    // pixels is transparent throughout.
                    const size_t odd = i % 37 == 5 ? i % 5 : 5;
                    const uint8_t sa = odd == 0 || s == 77    ? 0
                                       : odd == 1 || odd == 3 ? 140
                                                              : uint8_t(alpha);
                    const uint8_t da = odd == 2 || odd == 3 ? 90 : base;
                    // Premultiplied: no channel above its alpha.
                    const auto under = [sa](uint32_t v) { return uint8_t(v % (sa + 1u)); };
                    layer.insert(layer.end(), {under(s), under(255 - s), under(s / 2 + d / 2), sa});
                    target.insert(target.end(), {uint8_t(d), uint8_t(s ^ d), uint8_t(255 - d), da});
                    coverage.push_back(odd == 4 ? 200 : 255);
                }
    const auto count = int32_t(coverage.size());
    // Eight lanes at a time where the processor has them, and four.
    for (const bool wide : {true, false})
        for (ZBlendMode mode : kModes)
            for (const bool clipped : {false, true}) {
                ZAllowWideLanes(wide);
                std::vector<uint8_t> row = target, single = target;
                const uint8_t* clip = clipped ? coverage.data() : nullptr;
                ZCompositeRow(mode, layer.data(), row.data(), clip, count);
                for (int32_t i = 0; i < count; ++i)
                    ZCompositeRow(mode, &layer[4 * size_t(i)], &single[4 * size_t(i)],
                                  clip ? clip + i : nullptr, 1);
                EXPECT_TRUE(row == single)
                    << "mode " << int(mode) << " clipped " << clipped << " wide " << wide;
                // The same pixels taken as straight, premultiplied on the way, leave the layer
                // clear; in rows of seven too, which end pixel by pixel.
                std::vector<uint8_t> premultiplied = layer;
                ZPremultiplyRow(premultiplied.data(), count);
                for (const int32_t length : {count, 7}) {
                    std::vector<uint8_t> straight = layer, fused = target;
                    row = target;
                    for (int32_t at = 0; at + length <= count; at += length == count ? count : 61) {
                        const size_t byte = 4 * size_t(at);
                        const uint8_t* part = clip ? clip + at : nullptr;
                        ZCompositeRow(mode, &premultiplied[byte], &row[byte], part, length);
                        ZCompositeStraightRow(mode, &straight[byte], &fused[byte], part, length);
                        EXPECT_TRUE(std::all_of(&straight[byte],
                                                &straight[byte + 4 * size_t(length)],
                                                [](uint8_t b) { return b == 0; }));
                    }
                    EXPECT_TRUE(fused == row) << "mode " << int(mode) << " clipped " << clipped
                                              << " rows of " << length << " wide " << wide;
                }
                ZAllowWideLanes(true);
            }
}

// Two masks together: every pair of coverages multiplies and rounds down over 255, in rows
// long and short.
TEST(ZBlendModes, IntersectedCoveragesRoundDownForEveryPair) {
    for (uint32_t a = 0; a < 256; ++a) {
        std::vector<uint8_t> now(256, uint8_t(a)), was(256);
        for (uint32_t b = 0; b < 256; ++b) was[b] = uint8_t(b);
        ZIntersectCoverage(now.data(), was.data(), 250 - int32_t(a % 7));
        for (uint32_t b = 0; b < 256; ++b)
            ASSERT_EQ(now[b], b < 250 - a % 7 ? a * b / 255 : a) << a << " x " << b;
    }
}
