// render: one PNG per chosen frame, written as each frame is read.
#include "tools/swfframes/Commands.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfframes/Jobs.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/Progress.h"
#include "tools/swfframes/WriterThread.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>

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

// The chosen frames in `parts` runs, each read through its own open file of the movie.
void RenderMovie(const PluginHost& host, const std::string& path, const std::string& folder,
                 const Options& options, int parts) {
    SharedMovie movie = OpenSharedMovie(host, path, options);
    const MovieStream& stream = movie->stream;
    const std::vector<int64_t> frames = ChosenFrames(options, stream.FrameCount());
    MakeFolder(folder);
    const std::string stem = MovieStem(path);
    Progress progress(options.progress, options.quiet, stem, int64_t(frames.size()));
    std::mutex progressLock;
    Options quiet = options; // the other parts open the movie again without notices
    quiet.quiet = true;
    const size_t runs = std::clamp<size_t>(size_t(parts), 1, std::max<size_t>(1, frames.size()));
    RunJobs(runs, parts, [&](size_t run) {
        SharedMovie own = run == 0 ? nullptr : OpenSharedMovie(host, path, quiet);
        MovieStream& reader = run == 0 ? movie->stream : own->stream;
        // Each frame is encoded and written on its own thread while the next is drawn.
        WriterThread writer;
        for (size_t i = run * frames.size() / runs; i < (run + 1) * frames.size() / runs; ++i) {
            const int64_t frame = frames[i];
            const std::string file =
                (std::filesystem::path(folder) / FrameFileName(stem, frame, reader.FrameCount()))
                    .string();
            auto image = std::make_shared<RgbaImage>();
            reader.ReadFrame(frame, [&](const FrameView& view) {
                *image = RgbaImage::FromFrame(view, options.background);
            });
            writer.Add([&, frame, file, image] {
                WritePng(file, *image, options.pngCompression);
                const std::lock_guard<std::mutex> hold(progressLock);
                progress.FrameDone(frame, file);
            });
        }
        writer.Finish();
    });
    if (!options.quiet && options.progress != ProgressMode::kJson)
        std::printf("%s: %zu frame%s, %d x %d, written to %s/\n", path.c_str(), frames.size(),
                    frames.size() == 1 ? "" : "s", stream.Width(), stream.Height(), folder.c_str());
}

} // namespace

// Several movies run side by side, one movie's frames in ranges side by side.
int RunRender(const Options& options, const PluginHost& host) {
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    const bool oneMovie = movies.size() == 1;
    const int jobs = options.jobs > 0 ? options.jobs : DefaultJobs();
    return ForEachMovie(
        movies,
        [&](const std::string& movie) {
            const std::string folder =
                oneMovie ? options.output
                         : (std::filesystem::path(options.output) / MovieStem(movie)).string();
            RenderMovie(host, movie, folder, options, oneMovie ? jobs : 1);
        },
        oneMovie ? 1 : jobs);
}
