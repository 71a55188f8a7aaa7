// What filters and blend modes cost: a 1024 x 1024 frame with one object covering it,
// drawn into a layer and filtered or blended, beside the memory floor of clearing and
// copying one picture of that size.  Milliseconds per frame.
#include "base/PixelBuffer.h"
#include "base/RefCountBase.h"
#include "graphics/GraphicsContext.h"
#include "graphics/LayerStack.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int32_t kSide = 1024;

struct Frame {
    Held<PixelBuffer> target = Held<PixelBuffer>::Adopt(PixelBuffer::Create(kSide, kSide, 4, 1));
    GraphicsContext context;
    Frame() { context.SetTarget(target.Get()); }

    void Draw(const LayerRequest* request) {
        context.Reset();
        context.Clear({0, 0, 0, 0});
        context.SetFillColor({0.2f, 0.4f, 0.8f, 1});
        context.Rect({0, 0, float(kSide), float(kSide)});
        const bool layered = request && context.PushLayer(*request);
        context.SetFillColor({0.9f, 0.5f, 0.1f, 1});
        context.Rect({0, 0, float(kSide), float(kSide)});
        if (layered) context.PopLayer();
    }
};

ZFilter Blur(uint8_t passes) {
    ZFilter f;
    f.kind = ZFilter::kBlur;
    f.blurX = f.blurY = 10;
    f.passes = passes;
    return f;
}

void Run(benchmark::State& state, const ZFilterList& filters, ZBlendMode mode) {
    Frame frame;
    LayerRequest request;
    request.mode = mode;
    request.filters = &filters;
    frame.Draw(&request); // warms the layer pool
    for (auto _ : state) {
        frame.Draw(&request);
        benchmark::DoNotOptimize(frame.target->pixels);
    }
}

void Floor(benchmark::State& state) {
    std::vector<uint8_t> a(size_t(kSide) * kSide * 4), b(a.size());
    for (auto _ : state) {
        std::memset(a.data(), 0, a.size());
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::DoNotOptimize(b.data());
    }
}

void NoLayer(benchmark::State& state) {
    Frame frame;
    for (auto _ : state) {
        frame.Draw(nullptr);
        benchmark::DoNotOptimize(frame.target->pixels);
    }
}

void BlurOnePass(benchmark::State& s) {
    Run(s, {Blur(1)}, ZBlendMode::kNormal);
}
void BlurThreePasses(benchmark::State& s) {
    Run(s, {Blur(3)}, ZBlendMode::kNormal);
}
void Glow(benchmark::State& s) {
    ZFilter f = Blur(1);
    f.kind = ZFilter::kGlow;
    f.color = {255, 0, 0, 255};
    f.blurX = f.blurY = 6;
    f.strength = 2;
    Run(s, {f}, ZBlendMode::kNormal);
}
void DropShadow(benchmark::State& s) {
    ZFilter f = Blur(1);
    f.kind = ZFilter::kDropShadow;
    f.color = {0, 0, 0, 255};
    f.blurX = f.blurY = 4;
    f.angle = 0.785398f;
    f.distance = 4;
    Run(s, {f}, ZBlendMode::kNormal);
}
void Multiply(benchmark::State& s) {
    Run(s, {}, ZBlendMode::kMultiply);
}

} // namespace

BENCHMARK(Floor)->Name("memory floor: clear + copy")->Unit(benchmark::kMillisecond);
BENCHMARK(NoLayer)->Name("no layer: two rectangles")->Unit(benchmark::kMillisecond);
BENCHMARK(BlurOnePass)->Name("blur 10x10, 1 pass")->Unit(benchmark::kMillisecond);
BENCHMARK(BlurThreePasses)->Name("blur 10x10, 3 passes")->Unit(benchmark::kMillisecond);
BENCHMARK(Glow)->Name("glow")->Unit(benchmark::kMillisecond);
BENCHMARK(DropShadow)->Name("drop shadow")->Unit(benchmark::kMillisecond);
BENCHMARK(Multiply)->Name("multiply blend")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
