// One movie opened through the plug-in for the decoder element: its stage size, frame
// rate and frames, the picture size asked for (drawn through the stream's own zoom and
// stretch) and the times of its frames.
#pragma once

#include "tools/swfhost/Background.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The plug-in's header and GStreamer's both define TRUE and FALSE: the element's code
// sees neither the plug-in's types nor the host classes.
class PluginHost;
class MovieSource;
class MovieStream;

class MovieDecoder {
public:
    // Loads the plug-in library at `path`; throws HostError(kExitPlugin) when it cannot.
    static std::shared_ptr<const PluginHost> LoadPlugin(const std::string& path);

    // Opens the movie at `moviePath` through `host`, inflating or correcting it as needed;
    // throws HostError(kExitMovieFailed) when the plug-in refuses it or finds no frames.
    MovieDecoder(std::shared_ptr<const PluginHost> host, const std::string& moviePath);
    MovieDecoder(const MovieDecoder&) = delete;
    MovieDecoder& operator=(const MovieDecoder&) = delete;
    ~MovieDecoder();

    int NaturalWidth() const;
    int NaturalHeight() const;
    int Width() const;
    int Height() const;
    int64_t FrameCount() const { return frameCount_; }
    // The frame rate as a fraction (the plug-in's is a whole number); a movie slower than
    // one frame a second, which the plug-in reports as 0, is shown at one.
    int RateNumerator() const { return rateNumerator_; }
    int RateDenominator() const { return rateDenominator_; }

    // Nanoseconds: the start of `frame` (rounded up, so FrameAt gives the frame back) and
    // the frame whose time span holds `time`; Duration is the end of the last frame.
    uint64_t FrameTime(int64_t frame) const;
    int64_t FrameAt(uint64_t time) const;
    uint64_t Duration() const { return FrameTime(FrameCount()); }

    // Draws at exactly `width` x `height`; throws HostError when the plug-in cannot.
    void SetSize(int width, int height);

    // Draws `frame` into `out` (blue, green, red, alpha rows top first, `stride` bytes
    // apart) over `background`.  Throws HostError when the plug-in fails.
    void DrawFrame(int64_t frame, const Background& background, uint8_t* out, size_t stride);

private:
    std::shared_ptr<const PluginHost> host_;
    std::unique_ptr<MovieSource> source_;
    std::unique_ptr<MovieStream> stream_;
    int64_t frameCount_ = 0;
    int rateNumerator_ = 1, rateDenominator_ = 1;
};
