#include "tools/swfframes/VideoEncoder.h"

#include "tools/swfhost/HostError.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#ifndef _WIN32
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::pair<VideoKind, const char*>, 6> kExtensions = {{
    {VideoKind::kProRes, ".mov"},
    {VideoKind::kVp9, ".webm"},
    {VideoKind::kH264, ".mp4"},
    {VideoKind::kGif, ".gif"},
    {VideoKind::kWebp, ".webp"},
    {VideoKind::kApng, ".apng"},
}};

std::vector<std::string> CodecArguments(VideoKind kind, VideoQuality quality) {
    switch (kind) {
    case VideoKind::kProRes:
        return {"-c:v", "prores_ks", "-profile:v", "4444", "-pix_fmt", "yuva444p10le"};
    case VideoKind::kVp9:
        if (quality == VideoQuality::kSmall)
            return {"-c:v", "libvpx-vp9", "-pix_fmt", "yuva420p", "-auto-alt-ref", "0",
                    "-b:v", "0",          "-crf",     "30",       "-row-mt",       "1"};
        // Real time: the fastest search, rows in parallel on every processor.
        return {"-c:v",          "libvpx-vp9",
                "-pix_fmt",      "yuva420p",
                "-auto-alt-ref", "0",
                "-b:v",          "0",
                "-crf",          "30",
                "-deadline",     "realtime",
                "-cpu-used",     "8",
                "-row-mt",       "1",
                "-threads",      std::to_string(std::max(1u, std::thread::hardware_concurrency()))};
    case VideoKind::kH264:
        // 4:2:0 needs even sizes: pad by one pixel when needed.
        return {"-c:v",      "libx264",   "-pix_fmt",
                "yuv420p",   "-vf",       "pad=ceil(iw/2)*2:ceil(ih/2)*2",
                "-movflags", "+faststart"};
    case VideoKind::kGif:
        // palettegen sees every frame before paletteuse maps the first one.
        return {"-vf",
                "split[a][b];[a]palettegen=reserve_transparent=1:stats_mode=full[p];"
                "[b][p]paletteuse=alpha_threshold=128",
                "-loop", "0"};
    case VideoKind::kWebp:
        return {"-c:v", "libwebp_anim", "-lossless", "1", "-loop", "0"};
    case VideoKind::kApng:
        return {"-c:v", "apng", "-pix_fmt", "rgba", "-plays", "0", "-f", "apng"};
    }
    return {};
}

} // namespace

std::optional<VideoKind> VideoKindFor(const std::string& nameOrFormat) {
    std::string extension = fs::path(nameOrFormat).extension().string();
    if (extension.empty()) extension = "." + nameOrFormat;
    for (const auto& [kind, name] : kExtensions)
        if (extension == name) return kind;
    return std::nullopt;
}

const char* VideoExtension(VideoKind kind) {
    for (const auto& [known, name] : kExtensions)
        if (known == kind) return name;
    return "";
}

bool VideoKeepsAlpha(VideoKind kind) {
    return kind != VideoKind::kH264;
}

std::string FindFfmpeg() {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    const std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        const fs::path candidate = fs::path(folders.substr(start, end - start)) / "ffmpeg";
        std::error_code error;
        if (end > start && fs::is_regular_file(candidate, error)) return candidate.string();
        start = end + 1;
    }
    return {};
}

std::vector<std::string> FfmpegArguments(VideoKind kind, int width, int height, double rate,
                                         const std::string& output, VideoQuality quality) {
    std::vector<std::string> arguments = {"ffmpeg",
                                          "-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-y",
                                          "-f",
                                          "rawvideo",
                                          "-pix_fmt",
                                          "rgba",
                                          "-s",
                                          std::to_string(width) + "x" + std::to_string(height),
                                          "-r",
                                          std::to_string(rate),
                                          "-i",
                                          "-"};
    const std::vector<std::string> codec = CodecArguments(kind, quality);
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    arguments.push_back(output);
    return arguments;
}

#ifndef _WIN32

VideoEncoder::VideoEncoder(const std::string& ffmpeg, VideoKind kind, int width, int height,
                           double rate, const std::string& output, VideoQuality quality)
    : output_(output) {
    int fds[2];
    if (pipe(fds) != 0) throw HostError(kExitEncoder, "cannot make a pipe to ffmpeg");
    std::vector<std::string> arguments =
        FfmpegArguments(kind, width, height, rate, output, quality);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, ffmpeg.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (failed) {
        close(fds[1]);
        throw HostError(kExitEncoder, "cannot start " + ffmpeg);
    }
    pid_ = pid;
    pipe_ = fdopen(fds[1], "wb");
}

int VideoEncoder::Wait() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_t(pid_), &status, 0) < 0) status = -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#else

VideoEncoder::VideoEncoder(const std::string&, VideoKind, int, int, double,
                           const std::string& output, VideoQuality)
    : output_(output) {
    throw HostError(kExitEncoder, "video output is not supported on this system");
}

int VideoEncoder::Wait() {
    return -1;
}

#endif

VideoEncoder::~VideoEncoder() {
    if (pipe_) std::fclose(pipe_);
    if (pid_ > 0) Wait();
}

void VideoEncoder::Write(const RgbaImage& frame) {
    if (std::fwrite(frame.pixels.data(), 1, frame.pixels.size(), pipe_) != frame.pixels.size())
        throw HostError(kExitEncoder, "ffmpeg stopped reading frames for " + output_);
}

void VideoEncoder::Finish() {
    const bool flushed = std::fclose(pipe_) == 0;
    pipe_ = nullptr;
    const int status = Wait();
    if (!flushed || status != 0)
        throw HostError(kExitEncoder, "ffmpeg failed to write " + output_ + " (exit status " +
                                          std::to_string(status) + ")");
}
