// sheet: a contact sheet of chosen frames, each scaled by the stream's zoom to the cell.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/ContactSheet.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfframes/Jobs.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace {

// `count` frames spread evenly from the first to the last.
std::vector<int64_t> SpreadFrames(int64_t frameCount, int count) {
    std::vector<int64_t> frames;
    const int64_t n = std::min<int64_t>(frameCount, count);
    for (int64_t i = 0; i < n; ++i)
        frames.push_back(
            n == 1 ? 0 : int64_t(std::llround(double(i) * double(frameCount - 1) / double(n - 1))));
    return frames;
}

std::vector<int64_t> SheetFrames(const Options& options, int64_t frameCount) {
    if (!options.framesGiven) return SpreadFrames(frameCount, options.sheetFrames);
    std::string error;
    const std::optional<std::vector<int64_t>> frames = options.frames.Resolve(frameCount, error);
    if (!frames) throw HostError(kExitMovieFailed, error);
    return *frames;
}

// The frames are read in `parts` runs, each through its own open file of the movie.
void MakeSheet(const PluginHost& host, const std::string& path, const Options& options, int parts) {
    Options fitted = options;
    fitted.width = options.cellWidth;
    fitted.height.reset();
    SharedMovie movie = OpenSharedMovie(host, path, fitted);
    const MovieStream& stream = movie->stream;
    const std::vector<int64_t> frames = SheetFrames(options, stream.FrameCount());
    ContactSheet sheet(stream.Width(), stream.Height(), options.columns, int(frames.size()),
                       options.background);
    Progress progress(options.progress, options.quiet, MovieStem(path), int64_t(frames.size()));
    std::mutex sheetLock;
    fitted.quiet = true; // the other runs open the movie again without notices
    const size_t runs = std::clamp<size_t>(size_t(parts), 1, std::max<size_t>(1, frames.size()));
    RunJobs(runs, parts, [&](size_t run) {
        SharedMovie own = run == 0 ? nullptr : OpenSharedMovie(host, path, fitted);
        MovieStream& reader = run == 0 ? movie->stream : own->stream;
        for (size_t i = run * frames.size() / runs; i < (run + 1) * frames.size() / runs; ++i) {
            reader.ReadFrame(frames[i], [&](const FrameView& view) {
                const std::lock_guard<std::mutex> hold(sheetLock);
                sheet.Place(int(i), frames[i], view);
            });
            const std::lock_guard<std::mutex> hold(sheetLock);
            progress.FrameDone(frames[i]);
        }
    });
    const std::filesystem::path parent = std::filesystem::path(options.output).parent_path();
    if (!parent.empty()) MakeFolder(parent.string());
    WritePng(options.output, sheet.Image(), options.pngCompression);
    if (!options.quiet && options.progress != ProgressMode::kJson)
        std::printf("%s: contact sheet of %zu frames written to %s\n", path.c_str(), frames.size(),
                    options.output.c_str());
}

} // namespace

int RunSheet(const Options& options, const PluginHost& host) {
    const int jobs = options.jobs > 0 ? options.jobs : DefaultJobs();
    return ForEachMovie(options.inputs,
                        [&](const std::string& movie) { MakeSheet(host, movie, options, jobs); });
}
