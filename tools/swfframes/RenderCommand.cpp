// render: one PNG per chosen frame, written as each frame is read.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/Progress.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

std::vector<int64_t> ChosenFrames(const Options& options, int64_t frameCount) {
    std::string error;
    const std::optional<std::vector<int64_t>> frames = options.frames.Resolve(frameCount, error);
    if (!frames) throw HostError(kExitMovieFailed, error);
    return *frames;
}

std::string FrameFileName(const std::string& stem, int64_t frame, int64_t frameCount) {
    const int digits = std::max<int>(4, int(std::to_string(frameCount - 1).size()));
    std::string number = std::to_string(frame);
    number.insert(0, size_t(std::max<int>(0, digits - int(number.size()))), '0');
    return stem + "-" + number + ".png";
}

void RenderMovie(const PluginHost& host, const std::string& path, const std::string& folder,
                 const Options& options) {
    OpenedMovie movie(host, path, options);
    MovieStream& stream = movie.stream;
    const std::vector<int64_t> frames = ChosenFrames(options, stream.FrameCount());
    MakeFolder(folder);
    const std::string stem = MovieStem(path);
    Progress progress(options.progress, options.quiet, stem, int64_t(frames.size()));
    for (const int64_t frame : frames) {
        const std::string file =
            (std::filesystem::path(folder) / FrameFileName(stem, frame, stream.FrameCount()))
                .string();
        stream.ReadFrame(frame, [&](const FrameView& view) {
            WritePng(file, RgbaImage::FromFrame(view, options.background));
        });
        progress.FrameDone(frame, file);
    }
    if (!options.quiet && options.progress != ProgressMode::kJson)
        std::printf("%s: %zu frame%s, %d x %d, written to %s/\n", path.c_str(), frames.size(),
                    frames.size() == 1 ? "" : "s", stream.Width(), stream.Height(), folder.c_str());
}

} // namespace

int RunRender(const Options& options, const PluginHost& host) {
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    const bool oneMovie = movies.size() == 1;
    return ForEachMovie(movies, [&](const std::string& movie) {
        const std::string folder =
            oneMovie ? options.output
                     : (std::filesystem::path(options.output) / MovieStem(movie)).string();
        RenderMovie(host, movie, folder, options);
    });
}
