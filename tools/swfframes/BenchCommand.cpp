// bench: how fast the plug-in delivers each movie's frames.  One untimed pass over every
// frame warms the movie up (definitions parsed, bitmaps decoded, buffers grown); a second
// pass times each ReadFrame through EndRead.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/Progress.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

struct BenchResult {
    std::string path;
    int width = 0, height = 0;
    int64_t frames = 0;
    double medianMs = 0, p95Ms = 0, meanMs = 0;
    long peakKb = 0;
};

// Peak resident memory of the whole process so far, in KiB.
long PeakMemoryKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double Percentile(std::vector<double> sorted, double share) {
    std::sort(sorted.begin(), sorted.end());
    const size_t index =
        std::min(sorted.size() - 1, size_t(share * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

BenchResult Measure(const PluginHost& host, const std::string& path, const Options& options) {
    OpenedMovie movie(host, path, options);
    MovieStream& stream = movie.stream;
    BenchResult r{path, stream.Width(), stream.Height(), stream.FrameCount()};
    const auto ignore = [](const FrameView&) {};
    for (int64_t f = 0; f < r.frames; ++f) stream.ReadFrame(f, ignore);
    std::vector<double> times;
    double total = 0;
    for (int64_t f = 0; f < r.frames; ++f) {
        const auto start = std::chrono::steady_clock::now();
        stream.ReadFrame(f, ignore);
        const std::chrono::duration<double, std::milli> spent =
            std::chrono::steady_clock::now() - start;
        times.push_back(spent.count());
        total += spent.count();
    }
    if (!times.empty()) {
        r.medianMs = Percentile(times, 0.5);
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
                "peak memory %.1f MiB\n",
                r.path.c_str(), r.width, r.height, static_cast<long long>(r.frames), r.medianMs,
                r.p95Ms, FramesPerSecond(r), double(r.peakKb) / 1024.0);
}

void PrintJson(const BenchResult& r, bool last) {
    std::printf(
        "  {\"movie\":%s,\"width\":%d,\"height\":%d,\"frames\":%lld,\"medianMs\":%.3f,"
        "\"p95Ms\":%.3f,\"meanMs\":%.3f,\"framesPerSecond\":%.2f,\"peakMemoryKiB\":%ld}%s\n",
        JsonString(r.path).c_str(), r.width, r.height, static_cast<long long>(r.frames), r.medianMs,
        r.p95Ms, r.meanMs, FramesPerSecond(r), r.peakKb, last ? "" : ",");
}

} // namespace

int RunBench(const Options& options, const PluginHost& host) {
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    std::vector<BenchResult> results;
    const int status = ForEachMovie(movies, [&](const std::string& movie) {
        results.push_back(Measure(host, movie, options));
        if (!options.json) PrintText(results.back());
    });
    if (options.json) {
        std::printf("[\n");
        for (size_t i = 0; i < results.size(); ++i) PrintJson(results[i], i + 1 == results.size());
        std::printf("]\n");
    }
    return status;
}
