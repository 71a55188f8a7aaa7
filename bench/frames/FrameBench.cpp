// Time per frame of whole movies read through the plug-in library as a host reads them:
// the demo movie and a few corpus movies, each frame in turn, beside the memory floor of
// a picture that size (clearing it and copying it once).
#include "tools/swfhost/MovieSource.h"
#include "tools/swfhost/PluginHost.h"

#include <benchmark/benchmark.h>

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
        {"text_sizes", corpus + "gnash/testsuite/samples/text_sizes.swf"},
        {"visible_and_transparency",
         corpus + "gnash/testsuite/samples/visible_and_transparency.swf"},
        {"vnc2swf", corpus + "gnash/testsuite/movies.all/vnc2swf.swf"},
    };
    for (const Movie& m : candidates)
        if (std::filesystem::exists(m.path)) movies.push_back(m);
    return movies;
}

// Each iteration reads the next frame, round the movie.
void ReadFrames(benchmark::State& state, const Movie& movie) {
    const MovieSource source(movie.path, false);
    MovieStream stream(Host(), source.PluginPath());
    const int64_t frames = std::max<int64_t>(1, stream.FrameCount());
    for (int64_t f = 0; f < frames; ++f) stream.ReadFrame(f, [](const FrameView&) {}); // warm up
    int64_t frame = 0;
    for (auto _ : state) {
        stream.ReadFrame(frame, [](const FrameView& v) { benchmark::DoNotOptimize(v.top); });
        frame = (frame + 1) % frames;
    }
    state.counters["width"] = stream.Width();
    state.counters["height"] = stream.Height();
    state.counters["frames"] = double(frames);
}

// The least a frame of that size costs: clearing the picture and copying it out.
void MemoryFloor(benchmark::State& state, int width, int height) {
    const size_t bytes = size_t(width) * size_t(height) * 4;
    std::vector<uint8_t> picture(bytes), copy(bytes);
    for (auto _ : state) {
        std::memset(picture.data(), 0, bytes);
        std::memcpy(copy.data(), picture.data(), bytes);
        benchmark::DoNotOptimize(copy.data());
    }
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
