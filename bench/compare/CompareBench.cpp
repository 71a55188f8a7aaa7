// Our fill path against AGG and Cairo on the same device-space scenes, single thread,
// same canvas, in one Google Benchmark run.  Each iteration clears the canvas to
// transparent and draws the whole scene; the summary gives each contender's CPU time (the
// median with --benchmark_repetitions) and ours divided by the faster of the others.  Before
// timing, every contender's picture is compared with ours, so that a fast but wrong fill shows up
// as a failed check (exit 1).
#include "Contenders.h"
#include "Scenes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

// Anti-aliasing differs between the three (8 sub-scanlines here, exact areas in AGG,
// Cairo's own grid), and gradients are sampled at the pixel's corner here and at its
// centre there.  Edges differ by a few levels; a wrong fill differs over whole areas.
constexpr double kMaxMeanDifference = 1.5; // per channel, over the whole picture
constexpr double kMaxFarPixels = 0.01;     // share of pixels off by more than kFar
constexpr int kFar = 48;

std::vector<uint8_t> Render(Contender& c, const Scene& s) {
    std::vector<uint8_t> canvas(static_cast<size_t>(s.width) * s.height * 4, 0);
    c.Draw(canvas.data());
    return c.Premultiplied(canvas.data(), canvas.size());
}

bool PicturesAgree(const std::vector<Scene>& scenes) {
    bool ok = true;
    std::printf("%-12s %-6s %10s %10s\n", "scene", "vs", "mean diff", "far pixels");
    for (const Scene& s : scenes) {
        auto ours = Contenders().back().make(s);
        const std::vector<uint8_t> mine = Render(*ours, s);
        for (size_t k = 0; k + 1 < Contenders().size(); ++k) {
            auto other = Contenders()[k].make(s);
            const std::vector<uint8_t> theirs = Render(*other, s);
            double sum = 0;
            size_t far = 0;
            for (size_t i = 0; i < mine.size(); i += 4) {
                int worst = 0;
                for (int c = 0; c < 4; ++c) {
                    const int d = std::abs(int(mine[i + c]) - int(theirs[i + c]));
                    sum += d;
                    worst = std::max(worst, d);
                }
                far += worst > kFar;
            }
            const double mean = sum / static_cast<double>(mine.size());
            const double farShare = static_cast<double>(far) / static_cast<double>(mine.size() / 4);
            const bool agree = mean <= kMaxMeanDifference && farShare <= kMaxFarPixels;
            ok = ok && agree;
            std::printf("%-12s %-6s %10.3f %9.3f%% %s\n", s.name.c_str(), Contenders()[k].name,
                        mean, 100 * farShare, agree ? "" : "DISAGREE");
        }
    }
    return ok;
}

// Console output as usual, plus the CPU time of each run kept for the summary: the median
// over repetitions (--benchmark_repetitions) when there are several.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string& name = r.run_name.function_name;
            if (r.run_type == Run::RT_Iteration) times_[name].push_back(r.GetAdjustedCPUTime());
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[name] = r.GetAdjustedCPUTime();
        }
    }
    double Time(const std::string& scene, const char* contender) const {
        const std::string name = scene + "/" + contender;
        if (const auto m = medians_.find(name); m != medians_.end()) return m->second;
        const auto it = times_.find(name);
        if (it == times_.end() || it->second.empty()) return 0;
        std::vector<double> sorted = it->second;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> times_;
    std::map<std::string, double> medians_;
};

void PrintSummary(const SummaryReporter& r, const std::vector<Scene>& scenes) {
    std::printf("\n%-12s %10s %10s %10s %8s   (ms per scene, CPU)\n", "scene", "agg", "cairo",
                "ours", "ratio");
    double logSum = 0;
    int n = 0;
    for (const Scene& s : scenes) {
        const double agg = r.Time(s.name, "agg"), cairo = r.Time(s.name, "cairo");
        const double ours = r.Time(s.name, "ours");
        if (agg <= 0 || cairo <= 0 || ours <= 0) continue;
        const double ratio = ours / std::min(agg, cairo);
        logSum += std::log(ratio);
        ++n;
        std::printf("%-12s %10.3f %10.3f %10.3f %8.2f\n", s.name.c_str(), agg, cairo, ours, ratio);
    }
    if (n > 0)
        std::printf("%-12s %43.2f   (ours / faster of agg and cairo; below 1 is faster)\n",
                    "geo. mean", std::exp(logSum / n));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::vector<Scene> scenes = MakeScenes();
    if (!PicturesAgree(scenes)) {
        std::fprintf(stderr, "pictures disagree: the timings would mean nothing\n");
        return 1;
    }
    for (const Scene& s : scenes)
        for (const ContenderKind& kind : Contenders()) {
            benchmark::RegisterBenchmark((s.name + "/" + kind.name).c_str(),
                                         [&s, &kind](benchmark::State& state) {
                                             auto contender = kind.make(s);
                                             std::vector<uint8_t> canvas(
                                                 static_cast<size_t>(s.width) * s.height * 4);
                                             for (auto _ : state) {
                                                 std::memset(canvas.data(), 0, canvas.size());
                                                 contender->Draw(canvas.data());
                                                 benchmark::DoNotOptimize(canvas.data());
                                             }
                                         })
                ->Unit(benchmark::kMillisecond);
        }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, scenes);
    benchmark::Shutdown();
    return 0;
}
