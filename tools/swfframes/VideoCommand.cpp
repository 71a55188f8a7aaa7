// video: frames piped to ffmpeg as they are read, one video per movie.
#include "tools/swfframes/Commands.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfframes/Jobs.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/Progress.h"
#include "tools/swfframes/VideoEncoder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

struct VideoTarget {
    std::string path;
    VideoKind kind;
};

std::vector<int64_t> VideoFrames(const Options& options, int64_t frameCount) {
    std::string error;
    const std::optional<std::vector<int64_t>> frames = options.frames.Resolve(frameCount, error);
    if (!frames) throw HostError(kExitMovieFailed, error);
    return *frames;
}

// H.264 has no alpha: it is drawn over the background, black unless one is given.
Background VideoBackground(const Options& options, VideoKind kind) {
    if (VideoKeepsAlpha(kind) || !options.background.none) return options.background;
    return Background::Color(0, 0, 0);
}

void EncodeMovie(const PluginHost& host, const std::string& ffmpeg, const std::string& path,
                 const VideoTarget& target, const Options& options) {
    SharedMovie movie = OpenSharedMovie(host, path, options);
    MovieStream& stream = movie->stream;
    const std::vector<int64_t> frames = VideoFrames(options, stream.FrameCount());
    const std::filesystem::path parent = std::filesystem::path(target.path).parent_path();
    if (!parent.empty()) MakeFolder(parent.string());
    const double rate = std::max(1.0, stream.FrameRate());
    const Background background = VideoBackground(options, target.kind);
    VideoEncoder encoder(ffmpeg, target.kind, stream.Width(), stream.Height(), rate, target.path,
                         options.videoQuality);
    Progress progress(options.progress, options.quiet, MovieStem(path), int64_t(frames.size()));
    for (const int64_t frame : frames) {
        stream.ReadFrame(frame, [&](const FrameView& view) {
            encoder.Write(RgbaImage::FromFrame(view, background));
        });
        progress.FrameDone(frame);
    }
    encoder.Finish();
    if (!options.quiet && options.progress != ProgressMode::kJson)
        std::printf("%s: %zu frames at %g fps written to %s\n", path.c_str(), frames.size(), rate,
                    target.path.c_str());
}

// One file named by the user, or one file per movie in the -o folder.
VideoTarget TargetFor(const Options& options, const std::string& movie, bool intoFolder) {
    if (!intoFolder) {
        const std::optional<VideoKind> kind = VideoKindFor(options.output);
        if (!kind)
            throw HostError(kExitUsage,
                            "the video name must end in .mov, .webm, .mp4, .gif, .webp or .apng");
        return {options.output, *kind};
    }
    const VideoKind kind = VideoKindFor(options.videoFormat.empty() ? "mov" : options.videoFormat)
                               .value_or(VideoKind::kProRes);
    const std::filesystem::path file =
        std::filesystem::path(options.output) / (MovieStem(movie) + VideoExtension(kind));
    return {file.string(), kind};
}

} // namespace

int RunVideo(const Options& options, const PluginHost& host) {
    const std::string ffmpeg = FindFfmpeg();
    if (ffmpeg.empty()) {
        ReportError("video", "ffmpeg is not installed (on Debian: apt-get install ffmpeg); "
                             "`swfframes render` writes PNG frames without it");
        return kExitEncoder;
    }
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    // A name ending in a video extension is one file; anything else is a folder.
    const bool intoFolder = movies.size() > 1 || !VideoKindFor(options.output);
    // Several movies are encoded side by side; one movie's frames go to ffmpeg in order.
    const int jobs = options.jobs > 0 ? options.jobs : DefaultJobs();
    return ForEachMovie(
        movies,
        [&](const std::string& movie) {
            EncodeMovie(host, ffmpeg, movie, TargetFor(options, movie, intoFolder), options);
        },
        jobs);
}
