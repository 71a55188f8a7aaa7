// Reads back what swfframes had ffmpeg write: frames decoded by ffmpeg, and the frame
// timing, size and looping of animated GIF, APNG and WebP files read from their chunks.
#pragma once

#include "tools/swfframes/RgbaImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tooltest {

bool HaveFfmpeg();

// Every frame of `file`, decoded by ffmpeg as width x height RGBA; `decoder` forces one
// (libvpx-vp9 keeps the alpha of VP9, which ffmpeg's own decoder drops).
std::vector<RgbaImage> DecodeWithFfmpeg(const std::string& file, int width, int height,
                                        const std::string& decoder = "");

struct Animation {
    int width = 0, height = 0;
    int loops = -1;                // 0: forever
    std::vector<double> durations; // seconds, one per frame
};

// Reads a .gif, .apng or .webp file; an unreadable one gives no frames.
Animation ReadAnimation(const std::string& path);

} // namespace tooltest
