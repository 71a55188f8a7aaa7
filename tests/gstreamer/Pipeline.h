// Real GStreamer pipelines for the element's tests: run in this process (frames from an
// appsink, seeks, bus errors) or through the GStreamer command-line tools.  The element is
// found through GST_PLUGIN_PATH (the build folder) and a registry file in the build tree.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gsttest {

// Sets GST_PLUGIN_PATH and GST_REGISTRY for this process and the tools it runs, then
// initialises GStreamer.
void InitGStreamer();

struct Frame {
    GstClockTime pts = GST_CLOCK_TIME_NONE;
    GstClockTime duration = GST_CLOCK_TIME_NONE;
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
};

// A pipeline ending in an appsink named "sink".
class Pipeline {
public:
    explicit Pipeline(const std::string& description);
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    ~Pipeline();

    // Goes to PAUSED and waits for the first frame; false on an error.
    bool Preroll();
    // The next frame; false at the end of the stream or on an error.
    bool Pull(Frame& frame);
    bool Seek(GstSeekFlags flags, GstClockTime time);
    gint64 Duration() const;
    // The duration the pipeline knew when its first frame reached the sink.
    gint64 DurationAtFirstFrame() const { return durationAtFirstFrame_; }
    // Plays to the end; the first error's message, or "" after a clean end of stream.
    std::string RunToEnd();

private:
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    gint64 durationAtFirstFrame_ = -1;
};

struct ToolResult {
    int exitCode = -1;
    std::string output; // stdout and stderr
};
// Runs a GStreamer tool ("gst-inspect-1.0 ...") through the shell.
ToolResult RunTool(const std::string& command);

} // namespace gsttest
