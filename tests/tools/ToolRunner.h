// Runs the built swfframes and the plug-in directly, for the end-to-end tests.
#pragma once

#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"
#include "tools/swfframes/RgbaImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tooltest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs swfframes with `arguments` (each quoted for the shell) and `environment`
// assignments in front, capturing its output.
RunResult RunSwfframes(const std::vector<std::string>& arguments,
                       const std::string& environment = "");

// A path in a temporary folder of this process alone: ctest runs tests in parallel.
std::string TempPath(const std::string& name);

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);
std::string FileBytes(const std::string& path);

// A fresh empty folder under the test temporary directory.
std::string FreshFolder(const std::string& name);

// A frame read straight through the plug-in: BGRA, rows top first, no padding.
struct DirectFrame {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
};

// The frame count the plug-in gives `movie` when a host hands it over as it is; 0 when
// it refuses the movie.
int64_t PluginFrameCount(const std::string& movie);

// Opens `movie` through the loaded library as a host does and reads `frame`.
DirectFrame ReadDirectly(const std::string& movie, int64_t frame, double zoom = 1.0);

bool HaveFfmpeg();

// Every frame of `file`, decoded by ffmpeg as width x height RGBA; `decoder` forces one
// (libvpx-vp9 keeps the alpha of VP9, which ffmpeg's own decoder drops).
std::vector<RgbaImage> DecodeWithFfmpeg(const std::string& file, int width, int height,
                                        const std::string& decoder = "");

} // namespace tooltest
