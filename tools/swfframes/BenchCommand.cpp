// bench: how fast the plug-in delivers each movie's frames.  One untimed pass over the
// chosen frames warms the movie up (definitions parsed, bitmaps decoded, buffers grown);
// then each timed pass (one unless --passes says more) times each ReadFrame through
// EndRead, and each frame's time is its median over the passes.  Each time is set beside
// the memory floor of the picture: clearing a picture of that size and copying it once,
// timed as many times as there are passes, the median taken.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/Progress.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

struct BenchResult {
    std::string path;
    int width = 0, height = 0;
    int64_t frames = 0;
    double medianMs = 0, p90Ms = 0, p95Ms = 0, meanMs = 0;
    double floorMs = 0;
    std::vector<double> ratios; // each timed frame over the floor
    long peakKb = 0;
};

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Peak resident memory of the whole process so far, in KiB.
long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Percentile(std::vector<double> sorted, double share) {
    if (sorted.empty()) return 0;
    std::sort(sorted.begin(), sorted.end());
    const size_t index =
        std::min(sorted.size() - 1, size_t(share * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

// The median time of clearing a picture of this size and copying it out.
double MemoryFloorMs(int width, int height) {
    const size_t bytes = size_t(std::max(width, 1)) * size_t(std::max(height, 1)) * 4;
    std::vector<uint8_t> picture(bytes, 1), copy(bytes, 1);
    std::vector<double> times;
    volatile uint8_t sink = 0;
    for (int i = 0; i < 15; ++i) {
        const Clock::time_point start = Clock::now();
        std::memset(picture.data(), i, bytes);
        std::memcpy(copy.data(), picture.data(), bytes);
        sink = sink + copy[size_t(i) * 4099 % bytes];
        times.push_back(MsSince(start));
    }
    return std::max(Percentile(times, 0.5), 1e-6);
}

BenchResult Measure(const PluginHost& host, const std::string& path, const Options& options) {
    OpenedMovie movie(host, path, options);
    MovieStream& stream = movie.stream;
    const std::vector<int64_t> chosen = options.frames.Within(stream.FrameCount());
    BenchResult r;
    r.path = path;
    r.width = stream.Width();
    r.height = stream.Height();
    r.frames = int64_t(chosen.size());
    const auto ignore = [](const FrameView&) {};
    // The floor is timed before the frames are first drawn: right after drawing movies of
    // large images, the same work timed up to three times as slow here, far more than the
    // frames slowed.
    const int passCount = std::max(options.passes, 1);
    std::vector<double> floors;
    for (int pass = 0; pass < passCount; ++pass) floors.push_back(MemoryFloorMs(r.width, r.height));
    r.floorMs = Percentile(floors, 0.5);
    for (const int64_t f : chosen) stream.ReadFrame(f, ignore);
    std::vector<std::vector<double>> passes(chosen.size());
    for (int pass = 0; pass < passCount; ++pass) {
        for (size_t i = 0; i < chosen.size(); ++i) {
            const Clock::time_point start = Clock::now();
            stream.ReadFrame(chosen[i], ignore);
            passes[i].push_back(MsSince(start));
        }
    }
    std::vector<double> times;
    double total = 0;
    for (const std::vector<double>& frame : passes) {
        const double spent = Percentile(frame, 0.5);
        times.push_back(spent);
        r.ratios.push_back(spent / r.floorMs);
        total += spent;
    }
    if (!times.empty()) {
        r.medianMs = Percentile(times, 0.5);
        r.p90Ms = Percentile(times, 0.9);
        r.p95Ms = Percentile(times, 0.95);
        r.meanMs = total / double(times.size());
    }
    r.peakKb = PeakMemoryKb();
    return r;
}

double FramesPerSecond(const BenchResult& r) {
    return r.meanMs > 0 ? 1000.0 / r.meanMs : 0;
}

void PrintText(const BenchResult& r) {
    std::printf("%s: %d x %d, %lld frames, %.2f ms median, %.2f ms 95th percentile, %.1f frames/s, "
                "memory floor %.3f ms (median %.1fx, 90th percentile %.1fx), peak memory %.1f "
                "MiB\n",
                r.path.c_str(), r.width, r.height, static_cast<long long>(r.frames), r.medianMs,
                r.p95Ms, FramesPerSecond(r), r.floorMs, Percentile(r.ratios, 0.5),
                Percentile(r.ratios, 0.9), double(r.peakKb) / 1024.0);
}

void PrintJson(const BenchResult& r, bool last) {
    std::printf(
        "  {\"movie\":%s,\"width\":%d,\"height\":%d,\"frames\":%lld,\"medianMs\":%.3f,"
        "\"p90Ms\":%.3f,\"p95Ms\":%.3f,\"meanMs\":%.3f,\"framesPerSecond\":%.2f,"
        "\"floorMs\":%.4f,\"medianRatio\":%.2f,\"p90Ratio\":%.2f,\"peakMemoryKiB\":%ld}%s\n",
        JsonString(r.path).c_str(), r.width, r.height, static_cast<long long>(r.frames), r.medianMs,
        r.p90Ms, r.p95Ms, r.meanMs, FramesPerSecond(r), r.floorMs, Percentile(r.ratios, 0.5),
        Percentile(r.ratios, 0.9), r.peakKb, last ? "" : ",");
}

} // namespace

int RunBench(const Options& options, const PluginHost& host) {
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    std::vector<BenchResult> results;
    const int status = ForEachMovie(movies, [&](const std::string& movie) {
        results.push_back(Measure(host, movie, options));
        if (!options.json) PrintText(results.back());
    });
    std::vector<double> ratios;
    for (const BenchResult& r : results)
        ratios.insert(ratios.end(), r.ratios.begin(), r.ratios.end());
    if (options.json) {
        std::printf("[\n");
        for (size_t i = 0; i < results.size(); ++i) PrintJson(results[i], i + 1 == results.size());
        std::printf("]\n");
    } else if (results.size() > 1) {
        std::printf("all %zu movies: %zu frames, ratio to the memory floor: median %.1fx, 90th "
                    "percentile %.1fx\n",
                    results.size(), ratios.size(), Percentile(ratios, 0.5),
                    Percentile(ratios, 0.9));
    }
    return status;
}
