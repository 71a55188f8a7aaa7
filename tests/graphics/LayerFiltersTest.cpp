// Each filter on a small premultiplied picture, pixel for pixel, with lengths at zoom 1.
#include "graphics/LayerFilters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

using Grid = std::vector<std::vector<int>>;

// A picture of premultiplied pixels (bytes blue, green, red, alpha).
struct Picture {
    int32_t width, height;
    std::vector<uint8_t> bytes;
    Picture(int32_t w, int32_t h) : width(w), height(h), bytes(size_t(w * h * 4), 0) {}
    ZPlane Plane() { return {bytes.data(), width, height, width * 4, 4}; }
    uint8_t* At(int32_t x, int32_t y) { return &bytes[size_t((y * width + x) * 4)]; }
    void Fill(int32_t x0, int32_t y0, int32_t w, int32_t h, std::array<uint8_t, 4> bgra) {
        for (int32_t y = y0; y < y0 + h; ++y)
            for (int32_t x = x0; x < x0 + w; ++x) std::copy(bgra.begin(), bgra.end(), At(x, y));
    }
    Grid Channel(int c) {
        Grid g(size_t(height), std::vector<int>(size_t(width), 0));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) g[size_t(y)][size_t(x)] = At(x, y)[c];
        return g;
    }
};

// An opaque yellow 4 x 4 square at (2, 2) of an 8 x 8 picture, filtered by `f`.
Picture FilteredSquare(const ZFilter& f, int32_t size = 8,
                       std::array<uint8_t, 4> bgra = {0, 255, 255, 255}) {
    Picture p(size, size);
    p.Fill(2, 2, 4, 4, bgra);
    FilterWorkspace work;
    const ZFilterList list{f};
    LayerFilters(list, 1.0f, 1.0f).Apply(p.Plane(), 2, 2, 4, 4, work);
    return p;
}

ZFilter Filter(ZFilter::Kind kind, float blur, uint8_t passes = 1) {
    ZFilter f;
    f.kind = kind;
    f.blurX = f.blurY = blur;
    f.passes = passes;
    return f;
}

// The square's alpha blurred 3 x 3 once: 255 x 1/3, 2/3 at the edges, products at corners.
const Grid kBlurred = {{0, 0, 0, 0, 0, 0, 0, 0},           {0, 28, 57, 85, 85, 57, 28, 0},
                       {0, 57, 113, 170, 170, 113, 57, 0}, {0, 85, 170, 255, 255, 170, 85, 0},
                       {0, 85, 170, 255, 255, 170, 85, 0}, {0, 57, 113, 170, 170, 113, 57, 0},
                       {0, 28, 57, 85, 85, 57, 28, 0},     {0, 0, 0, 0, 0, 0, 0, 0}};

} // namespace

TEST(LayerFilters, BlurShadowGlowAndBevelPixelForPixel) {
    // Blur: every channel alike, blue stays 0.
    Picture blurred = FilteredSquare(Filter(ZFilter::kBlur, 3));
    EXPECT_EQ(blurred.Channel(3), kBlurred);
    EXPECT_EQ(blurred.Channel(2), kBlurred);
    EXPECT_EQ(blurred.Channel(0), Grid(8, std::vector<int>(8, 0)));
    // Two passes reach one pixel further; widths of 1 or less and 0 passes do nothing.
    EXPECT_EQ(FilteredSquare(Filter(ZFilter::kBlur, 3, 2)).Channel(3)[0][0], 3);
    const Grid square = FilteredSquare(Filter(ZFilter::kBlur, 0)).Channel(3);
    EXPECT_EQ(FilteredSquare(Filter(ZFilter::kBlur, 1)).Channel(3), square);
    EXPECT_EQ(FilteredSquare(Filter(ZFilter::kBlur, 3, 0)).Channel(3), square);
    // Wider than the picture: 4 x 255 / 20 across, then 4 x 51 / 20 down, everywhere.
    EXPECT_EQ(FilteredSquare(Filter(ZFilter::kBlur, 20)).Channel(3),
              Grid(8, std::vector<int>(8, 10)));
    // A width of 2: half of each neighbour, a quarter of the next ones out.
    EXPECT_EQ(FilteredSquare(Filter(ZFilter::kBlur, 2)).Channel(3)[3],
              (std::vector<int>{0, 64, 191, 255, 255, 191, 64, 0}));

    // Glow in blue around the square: the blurred alpha outside, the square inside.
    ZFilter glow = Filter(ZFilter::kGlow, 3);
    glow.color = {0, 0, 255, 255};
    Picture glowed = FilteredSquare(glow);
    Grid outside = kBlurred;
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x) outside[y][x] = 0;
    EXPECT_EQ(glowed.Channel(0), outside);
    EXPECT_EQ(glowed.Channel(3)[1], kBlurred[1]);
    EXPECT_EQ(glowed.Channel(3)[3], (std::vector<int>{0, 85, 255, 255, 255, 255, 85, 0}));
    EXPECT_EQ(glowed.Channel(2)[3], (std::vector<int>{0, 0, 255, 255, 255, 255, 0, 0}));
    // Under a half-transparent square the glow shows through: 128 + 128 x 127 / 255.
    Picture underHalf = FilteredSquare(glow, 8, {0, 128, 128, 128});
    EXPECT_EQ(underHalf.Channel(3)[3], (std::vector<int>{0, 43, 170, 192, 192, 170, 43, 0}));
    EXPECT_EQ(underHalf.Channel(0)[3], (std::vector<int>{0, 43, 42, 64, 64, 42, 43, 0}));
    // A gradient glow colours the blurred alpha through its stops: at (1, 1) the alpha 28
    // picks blue 227 and red 28 of the way from transparent blue to red, premultiplied.
    ZFilter ramped = Filter(ZFilter::kGradientGlow, 3);
    ramped.stops = {{{0, 0, 255, 0}, 0}, {{255, 0, 0, 255}, 255}};
    Picture gradient = FilteredSquare(ramped);
    EXPECT_EQ(std::vector<uint8_t>(gradient.At(1, 1), gradient.At(1, 1) + 4),
              (std::vector<uint8_t>{25, 0, 3, 28}));
    // Inner glow with knockout: 255 less the blurred alpha, inside only, the square gone.
    glow.inner = glow.knockout = true;
    Picture inner = FilteredSquare(glow);
    EXPECT_EQ(inner.Channel(3)[2], (std::vector<int>{0, 0, 142, 85, 85, 142, 0, 0}));
    EXPECT_EQ(inner.Channel(3)[3], (std::vector<int>{0, 0, 85, 0, 0, 85, 0, 0}));
    EXPECT_EQ(inner.Channel(0)[2], inner.Channel(3)[2]);
    EXPECT_EQ(inner.Channel(2)[2], std::vector<int>(8, 0));

    // Drop shadow at 45 degrees, 2 x sqrt 2 away, unblurred: black, 2 pixels right and down.
    ZFilter shadow = Filter(ZFilter::kDropShadow, 0);
    shadow.color = {0, 0, 0, 255};
    shadow.angle = 51472 / 65536.0f;
    shadow.distance = 2.8284f;
    Picture shadowed = FilteredSquare(shadow, 10);
    EXPECT_EQ(shadowed.Channel(3)[7], (std::vector<int>{0, 0, 0, 0, 255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(shadowed.Channel(2)[5], (std::vector<int>{0, 0, 255, 255, 255, 255, 0, 0, 0, 0}));
    EXPECT_EQ(shadowed.Channel(3)[5], (std::vector<int>{0, 0, 255, 255, 255, 255, 255, 255, 0, 0}));
    // Hiding the object leaves the shadow alone.
    shadow.hideObject = true;
    Picture hidden = FilteredSquare(shadow, 10);
    EXPECT_EQ(hidden.Channel(3)[3], std::vector<int>(10, 0));
    EXPECT_EQ(hidden.Channel(3)[5], (std::vector<int>{0, 0, 0, 0, 255, 255, 255, 255, 0, 0}));
    EXPECT_EQ(hidden.Channel(2)[5], std::vector<int>(10, 0));

    // Inner bevel lit from the top left, one pixel each way: white on the top and left
    // edges, black on the bottom and right, the square between; nothing outside.
    ZFilter bevel = Filter(ZFilter::kBevel, 0);
    bevel.highlight = {255, 255, 255, 255};
    bevel.color = {0, 0, 0, 255};
    bevel.angle = 51472 / 65536.0f;
    bevel.distance = 1.4142f;
    bevel.inner = true;
    Picture bevelled = FilteredSquare(bevel);
    EXPECT_EQ(bevelled.Channel(0)[2], (std::vector<int>{0, 0, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(bevelled.Channel(0)[3], (std::vector<int>{0, 0, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bevelled.Channel(2)[3], (std::vector<int>{0, 0, 255, 255, 255, 0, 0, 0}));
    EXPECT_EQ(bevelled.Channel(2)[5], (std::vector<int>{0, 0, 255, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bevelled.Channel(3)[1], std::vector<int>(8, 0));
    EXPECT_EQ(bevelled.Channel(3)[5], (std::vector<int>{0, 0, 255, 255, 255, 255, 0, 0}));
    // Lit from the bottom right: the other way round.
    bevel.angle += 3.14159265f;
    Picture backlit = FilteredSquare(bevel);
    EXPECT_EQ(backlit.Channel(0)[5], (std::vector<int>{0, 0, 0, 255, 255, 255, 0, 0}));
    EXPECT_EQ(backlit.Channel(0)[4], (std::vector<int>{0, 0, 0, 0, 0, 255, 0, 0}));
    EXPECT_EQ(backlit.Channel(2)[2], (std::vector<int>{0, 0, 0, 0, 0, 255, 0, 0}));
    EXPECT_EQ(backlit.Channel(2)[3], (std::vector<int>{0, 0, 0, 255, 255, 255, 0, 0}));
    EXPECT_EQ(backlit.Channel(3)[6], std::vector<int>(8, 0));
    // An object to the picture's edges: outside it there is nothing, not the next row.
    Picture full(4, 4);
    full.Fill(0, 0, 4, 4, {0, 255, 255, 255});
    FilterWorkspace work;
    const ZFilterList backlitList{bevel};
    LayerFilters(backlitList, 1.0f, 1.0f).Apply(full.Plane(), 0, 0, 4, 4, work);
    EXPECT_EQ(full.Channel(1),
              (Grid{{0, 0, 0, 255}, {0, 255, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 255}}));
    EXPECT_EQ(full.Channel(0),
              (Grid{{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 255, 255, 255}}));
}

TEST(LayerFilters, ColourMatrixAndConvolutionPixelForPixel) {
    FilterWorkspace work;
    // Red and blue swapped, an offset of 100 on green, on an opaque and a translucent pixel.
    ZFilter swap;
    swap.kind = ZFilter::kColorMatrix;
    const float m[20] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 100, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    std::copy(m, m + 20, swap.matrix);
    Picture p(2, 1);
    std::copy_n(std::array<uint8_t, 4>{30, 200, 10, 255}.begin(), 4, p.At(0, 0));
    std::copy_n(std::array<uint8_t, 4>{15, 10, 5, 128}.begin(), 4, p.At(1, 0));
    const ZFilterList swapList{swap};
    LayerFilters(swapList, 1, 1).Apply(p.Plane(), 0, 0, 2, 1, work);
    EXPECT_EQ(std::vector<uint8_t>(p.bytes.begin(), p.bytes.end()),
              (std::vector<uint8_t>{10, 255, 30, 255, 5, 60, 15, 128}));

    // 3 x 3 cross, divisor 8, bias 10, on grey 40 with a white centre, all opaque.
    ZFilter cross;
    cross.kind = ZFilter::kConvolution;
    cross.columns = cross.rows = 3;
    cross.kernel = {0, 1, 0, 1, 4, 1, 0, 1, 0};
    cross.divisor = 8;
    cross.bias = 10;
    const struct {
        bool clamp, preserveAlpha;
        std::vector<uint8_t> centre, corner, edge; // pixels (1,1), (0,0), (1,0)
    } cases[] = {
        // (4 x 255 + 4 x 40) / 8 + 10 = 157.5; clamped corners see grey only.
        {true, false, {158, 158, 158, 255}, {50, 50, 50, 255}, {77, 77, 77, 255}},
        // The default colour (transparent) outside: the corner is 240 / 8 + 10 = 40 at
        // alpha 201 (premultiplied 32), the edge 495 / 8 + 10 = 72 at alpha 233 (66).
        {false, false, {158, 158, 158, 255}, {32, 32, 32, 201}, {66, 66, 66, 233}},
        {false, true, {158, 158, 158, 255}, {40, 40, 40, 255}, {72, 72, 72, 255}},
    };
    for (const auto& c : cases) {
        cross.clamp = c.clamp;
        cross.preserveAlpha = c.preserveAlpha;
        Picture g(3, 3);
        g.Fill(0, 0, 3, 3, {40, 40, 40, 255});
        g.Fill(1, 1, 1, 1, {255, 255, 255, 255});
        const ZFilterList list{cross};
        LayerFilters(list, 1, 1).Apply(g.Plane(), 0, 0, 3, 3, work);
        EXPECT_EQ(std::vector<uint8_t>(g.At(1, 1), g.At(1, 1) + 4), c.centre) << c.clamp;
        EXPECT_EQ(std::vector<uint8_t>(g.At(0, 0), g.At(0, 0) + 4), c.corner) << c.clamp;
        EXPECT_EQ(std::vector<uint8_t>(g.At(1, 0), g.At(1, 0) + 4), c.edge) << c.clamp;
    }
}
