// sheet: a contact sheet of chosen frames, each scaled by the stream's zoom to the cell.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/ContactSheet.h"
#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

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

void MakeSheet(const PluginHost& host, const std::string& path, const Options& options) {
    Options fitted = options;
    fitted.width = options.cellWidth;
    fitted.height.reset();
    OpenedMovie movie(host, path, fitted);
    MovieStream& stream = movie.stream;
    const std::vector<int64_t> frames = SheetFrames(options, stream.FrameCount());
    ContactSheet sheet(stream.Width(), stream.Height(), options.columns, int(frames.size()),
                       options.background);
    Progress progress(options.progress, options.quiet, MovieStem(path), int64_t(frames.size()));
    for (size_t i = 0; i < frames.size(); ++i) {
        stream.ReadFrame(frames[i],
                         [&](const FrameView& view) { sheet.Place(int(i), frames[i], view); });
        progress.FrameDone(frames[i]);
    }
    const std::filesystem::path parent = std::filesystem::path(options.output).parent_path();
    if (!parent.empty()) MakeFolder(parent.string());
    WritePng(options.output, sheet.Image());
    if (!options.quiet && options.progress != ProgressMode::kJson)
        std::printf("%s: contact sheet of %zu frames written to %s\n", path.c_str(), frames.size(),
                    options.output.c_str());
}

} // namespace

int RunSheet(const Options& options, const PluginHost& host) {
    return ForEachMovie(options.inputs,
                        [&](const std::string& movie) { MakeSheet(host, movie, options); });
}
