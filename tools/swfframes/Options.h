// The command line of swfframes: a subcommand, its inputs and outputs, and options.
#pragma once

#include "tools/swfframes/FrameRange.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/VideoEncoder.h"
#include "tools/swfhost/Background.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ProgressMode { kAuto, kNone, kJson };

struct Options {
    std::string command; // info, render, sheet, video, inflate, bench or help
    std::vector<std::string> inputs;
    std::string output; // -o DIR, or the last positional of sheet, video and inflate

    FrameRange frames;
    bool framesGiven = false;
    double zoom = 1.0;
    double stretch = 1.0;
    std::optional<int> width, height; // --width, --height: fit the picture
    int64_t maxPixels = 64'000'000;   // pictures larger than this are refused
    Background background;
    bool backgroundGiven = false;
    std::string plugin; // empty: the default library
    int jobs = 0;       // render, sheet, video: movies or frame ranges at once; 0: processors
    int passes = 1;     // bench: timed passes, each frame's median taken

    bool json = false;
    bool quiet = false;
    ProgressMode progress = ProgressMode::kAuto;

    int columns = 6;         // sheet
    int cellWidth = 160;     // sheet: thumbnail width in pixels
    int sheetFrames = 36;    // sheet: frames sampled when --frames is not given
    std::string videoFormat; // video into a folder: mov, webm, mp4, gif, webp or apng
    PngCompression pngCompression = PngCompression::kFast; // render, sheet
    VideoQuality videoQuality = VideoQuality::kFast;       // video .webm
};

// Fills `options` from argv; on a mistake returns false and sets `error`.
bool ParseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// The --help text.
const char* UsageText();
