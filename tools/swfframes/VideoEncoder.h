// Encodes frames into a video or a looping animation by piping raw RGBA frames into
// ffmpeg:
//   .mov   ProRes 4444 with alpha
//   .webm  VP9 with alpha
//   .mp4   H.264 (no alpha: the caller composites over a background colour first)
//   .gif   GIF with one palette made from all frames, transparent where alpha < 128
//   .webp  lossless animated WebP with full alpha
//   .apng  animated PNG with full alpha
#pragma once

#include "tools/swfframes/RgbaImage.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

enum class VideoKind { kProRes, kVp9, kH264, kGif, kWebp, kApng };

// The kind for an output name (.mov, .webm, .mp4, .gif, .webp, .apng) or a --format word.
std::optional<VideoKind> VideoKindFor(const std::string& nameOrFormat);
const char* VideoExtension(VideoKind kind);
bool VideoKeepsAlpha(VideoKind kind);

// The full path of ffmpeg on PATH, or empty.
std::string FindFfmpeg();

// How VP9 spends its time: kFast uses the real-time settings with rows encoded in
// parallel, kSmall the slow, good-quality search (smaller files at the same quality).
// The other formats encode the same either way.
enum class VideoQuality { kFast, kSmall };

// The ffmpeg arguments that read width x height RGBA frames from stdin at `rate`.
std::vector<std::string> FfmpegArguments(VideoKind kind, int width, int height, double rate,
                                         const std::string& output,
                                         VideoQuality quality = VideoQuality::kFast);

class VideoEncoder {
public:
    // Starts ffmpeg; throws HostError(kExitEncoder) when it cannot.
    VideoEncoder(const std::string& ffmpeg, VideoKind kind, int width, int height, double rate,
                 const std::string& output, VideoQuality quality = VideoQuality::kFast);
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    ~VideoEncoder();

    void Write(const RgbaImage& frame);
    // Closes the pipe and waits; throws HostError(kExitEncoder) when ffmpeg failed.
    void Finish();

private:
    int Wait();

    std::FILE* pipe_ = nullptr;
    long pid_ = -1;
    std::string output_;
};
