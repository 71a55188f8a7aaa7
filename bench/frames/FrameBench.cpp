// Time per frame of whole movies read through the plug-in library as a host reads them:
// the demo movie and a few corpus movies, each frame in turn, beside the memory floor of
// a picture that size (clearing it and copying it once).  Each frame benchmark also
// reports its own milliseconds per frame (ms), the floor's (floor_ms) and their ratio
// (x_floor).  FRAME_BENCH_EXTRA names one more movie, benchmarked as "extra".
#include "tools/swfhost/MovieSource.h"
#include "tools/swfhost/PluginHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* gArgv0 = nullptr;

const PluginHost& Host() {
    static const PluginHost host(PluginHost::DefaultPath(gArgv0));
    return host;
}

struct Movie {
    std::string name;
    std::string path;
};

std::vector<Movie> Movies() {
    const std::string corpus = SWF_SOURCE_DIR "/../shared/corpus/";
    std::vector<Movie> movies{{"demo", SWF_DEMO_MOVIE}};
    const Movie candidates[] = {
        {"heavy_tesselation",
         corpus + "ruffle-visual-tests/tests/simple_shapes/heavy_tesselation/test.swf"},
        {"input-fields", corpus + "gnash/testsuite/samples/input-fields.swf"},
        {"text_sizes", corpus + "gnash/testsuite/samples/text_sizes.swf"},
        {"text_formatting", corpus + "gnash/testsuite/samples/text_formatting.swf"},
        {"visible_and_transparency",
         corpus + "gnash/testsuite/samples/visible_and_transparency.swf"},
        {"acid-text-6", corpus + "ruffle/tests/tests/swfs/from_shumway/acid/acid-text-6/test.swf"},
        {"vnc2swf", corpus + "gnash/testsuite/movies.all/vnc2swf.swf"},
    };
    for (const Movie& m : candidates)
        if (std::filesystem::exists(m.path)) movies.push_back(m);
    if (const char* extra = std::getenv("FRAME_BENCH_EXTRA")) movies.push_back({"extra", extra});
    return movies;
}

using Clock = std::chrono::steady_clock;

// The least a frame of that size costs: clearing the picture and copying it out.
void ClearAndCopy(std::vector<uint8_t>& picture, std::vector<uint8_t>& copy) {
    std::memset(picture.data(), 0, picture.size());
    std::memcpy(copy.data(), picture.data(), picture.size());
    benchmark::DoNotOptimize(copy.data());
}

// The median of a few timed rounds of ClearAndCopy, in milliseconds.  It is timed before a
// movie's frames are drawn: right after drawing movies of large images, the same work
// timed up to three times as slow here, far more than the frames slowed.
double FloorMs(int width, int height) {
    const size_t bytes = size_t(std::max(width, 1)) * size_t(std::max(height, 1)) * 4;
    std::vector<uint8_t> picture(bytes), copy(bytes);
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        const Clock::time_point start = Clock::now();
        ClearAndCopy(picture, copy);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Each iteration reads the next frame, round the movie.
void ReadFrames(benchmark::State& state, const Movie& movie) {
    const MovieSource source(movie.path, false);
    MovieStream stream(Host(), source.PluginPath());
    const int64_t frames = std::max<int64_t>(1, stream.FrameCount());
    // Before the frames are drawn: see FloorMs.
    const double floorMs = FloorMs(stream.Width(), stream.Height());
    for (int64_t f = 0; f < frames; ++f) stream.ReadFrame(f, [](const FrameView&) {}); // warm up
    int64_t frame = 0;
    double spentMs = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        stream.ReadFrame(frame, [](const FrameView& v) { benchmark::DoNotOptimize(v.top); });
        spentMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        frame = (frame + 1) % frames;
    }
    const double ms = spentMs / double(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["width"] = stream.Width();
    state.counters["height"] = stream.Height();
    state.counters["frames"] = double(frames);
    state.counters["ms"] = ms;
    state.counters["floor_ms"] = floorMs;
    state.counters["x_floor"] = floorMs > 0 ? ms / floorMs : 0;
}

void MemoryFloor(benchmark::State& state, int width, int height) {
    const size_t bytes = size_t(width) * size_t(height) * 4;
    std::vector<uint8_t> picture(bytes), copy(bytes);
    for (auto _ : state) ClearAndCopy(picture, copy);
}

} // namespace

int main(int argc, char** argv) {
    gArgv0 = argv[0];
    benchmark::Initialize(&argc, argv);
    for (const Movie& movie : Movies()) {
        int width = 0, height = 0;
        try {
            const MovieSource source(movie.path, false);
            const MovieStream stream(Host(), source.PluginPath());
            width = stream.Width();
            height = stream.Height();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", movie.path.c_str(), e.what());
            continue;
        }
        benchmark::RegisterBenchmark(("frame/" + movie.name).c_str(), ReadFrames, movie)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("floor/" + movie.name).c_str(), MemoryFloor, width, height)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
