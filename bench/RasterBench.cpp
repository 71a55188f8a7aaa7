// Rasteriser throughput: fills and strokes into 8-bit and 16-bit colour targets.  Each
// case reports the pixels it paints per second (items) and the target bytes they cover.
#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZOutliner.h"
#include "raster/ZRenderer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// A colour target of the benchmark's depth with its renderer.
struct Target {
    explicit Target(int depth) : depth(depth), pixels(static_cast<size_t>(kWidth) * kHeight * 4) {
        renderer.SetTarget(pixels.data(), kWidth, kHeight, depth, kWidth * 4 * depth);
    }
    int depth;
    std::vector<uint16_t> pixels; // wide enough for either depth
    ZRenderer renderer;
};

// How many pixels a fill touches, for the throughput counters.
int64_t CoveredPixels(const ZPath& path, const Matrix4* transform) {
    std::vector<uint8_t> mask(static_cast<size_t>(kWidth) * kHeight);
    ZRenderer r;
    r.SetMask(mask.data(), kWidth, kHeight, 1, kWidth);
    r.SetMaskRender(true);
    ZColorStencil white(255, 255, 255, 255);
    r.FillPath(path, transform, &white, ZFillRule::kNonZero);
    int64_t n = 0;
    for (uint8_t m : mask) n += m != 0;
    return n;
}

void Report(benchmark::State& state, int64_t pixelsPerIteration, int depth) {
    state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
    state.SetBytesProcessed(state.iterations() * pixelsPerIteration * 4 * depth);
}

// A 96-pointed star, wide enough to cover most of the target, with off-grid edges.
ZPath Star(float cx, float cy, float outer, float inner, int points) {
    ZPath p;
    for (int i = 0; i < 2 * points; ++i) {
        const float a = static_cast<float>(i) * 3.14159265f / static_cast<float>(points);
        const float r = (i & 1) ? inner : outer;
        const float x = cx + r * std::cos(a), y = cy + r * std::sin(a);
        if (i == 0)
            p.MoveTo(x, y);
        else
            p.LineTo(x, y);
    }
    p.Close();
    return p;
}

void LargePolygonFill(benchmark::State& state) {
    Target t(static_cast<int>(state.range(0)));
    const ZPath star = Star(512.3f, 384.7f, 380, 300, 96);
    ZColorStencil colour(40, 120, 200, 200);
    for (auto _ : state) t.renderer.FillPath(star, nullptr, &colour, ZFillRule::kNonZero);
    Report(state, CoveredPixels(star, nullptr), t.depth);
}

void ManySmallShapes(benchmark::State& state) {
    Target t(static_cast<int>(state.range(0)));
    std::vector<ZPath> shapes;
    std::vector<Matrix4> places;
    int64_t covered = 0;
    for (int i = 0; i < 1000; ++i) {
        shapes.push_back(Star(0, 0, 9, 4, 5));
        Matrix4 m;
        m.Translate(static_cast<float>((i * 37) % 1000) + 12.25f,
                    static_cast<float>((i * 53) % 740) + 12.5f, 0);
        places.push_back(m);
        covered += CoveredPixels(shapes.back(), &places.back());
    }
    ZColorStencil colour(200, 30, 90, 255);
    for (auto _ : state)
        for (size_t i = 0; i < shapes.size(); ++i)
            t.renderer.FillPath(shapes[i], &places[i], &colour, ZFillRule::kEvenOdd);
    Report(state, covered, t.depth);
}

template <class Gradient> void GradientFill(benchmark::State& state) {
    Target t(static_cast<int>(state.range(0)));
    Gradient gradient;
    ZGradientStop stops[3];
    const uint8_t colours[3][4] = {{255, 0, 0, 255}, {0, 255, 0, 200}, {0, 0, 255, 255}};
    for (int i = 0; i < 3; ++i) {
        stops[i].position = static_cast<float>(i) * 0.5f;
        for (int c = 0; c < 4; ++c) stops[i].color[c] = colours[i][c];
        gradient.AddStop(stops[i]);
    }
    ZPath rect;
    rect.MoveTo(100.5f, 50.5f);
    rect.LineTo(900.5f, 50.5f);
    rect.LineTo(900.5f, 700.5f);
    rect.LineTo(100.5f, 700.5f);
    rect.Close();
    for (auto _ : state) t.renderer.FillPath(rect, nullptr, &gradient, ZFillRule::kNonZero);
    Report(state, CoveredPixels(rect, nullptr), t.depth);
}

void StrokedPolyline(benchmark::State& state) {
    Target t(static_cast<int>(state.range(0)));
    ZPath line;
    for (int i = 0; i <= 200; ++i) {
        const float x = 20.0f + static_cast<float>(i) * 4.9f;
        const float y = 384.0f + 300.0f * std::sin(static_cast<float>(i) * 0.37f);
        if (i == 0)
            line.MoveTo(x, y);
        else
            line.LineTo(x, y);
    }
    ZOutliner outliner;
    outliner.SetJoinStyle(ZOutliner::kRoundJoin);
    outliner.SetCapStyle(ZOutliner::kRoundCap);
    ZColorStencil colour(0, 0, 0, 230);
    for (auto _ : state) {
        const ZPath& outline = outliner.Outline(line, 3.0f);
        t.renderer.FillPath(outline, nullptr, &colour, ZFillRule::kNonZero);
    }
    Report(state, CoveredPixels(outliner.Outline(line, 3.0f), nullptr), t.depth);
}

} // namespace

BENCHMARK(LargePolygonFill)->Arg(1)->Arg(2)->ArgName("bytesPerChannel");
BENCHMARK(ManySmallShapes)->Arg(1)->Arg(2)->ArgName("bytesPerChannel");
BENCHMARK(GradientFill<ZLinearGradientStencil>)->Arg(1)->Arg(2)->ArgName("bytesPerChannel");
BENCHMARK(GradientFill<ZRadialGradientStencil>)->Arg(1)->Arg(2)->ArgName("bytesPerChannel");
BENCHMARK(StrokedPolyline)->Arg(1)->Arg(2)->ArgName("bytesPerChannel");
