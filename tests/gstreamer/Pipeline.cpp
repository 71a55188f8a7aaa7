#include "Pipeline.h"

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace gsttest {

void InitGStreamer() {
    setenv("GST_PLUGIN_PATH", GST_ELEMENT_DIR, 1);
    setenv("GST_REGISTRY", GST_TEST_REGISTRY, 1);
    gst_init(nullptr, nullptr);
}

Pipeline::Pipeline(const std::string& description) {
    GError* error = nullptr;
    pipeline_ = gst_parse_launch(description.c_str(), &error);
    EXPECT_EQ(error, nullptr) << description << ": " << (error ? error->message : "");
    if (error) g_error_free(error);
    if (pipeline_) sink_ = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
    if (!sink_) return;
    GstPad* pad = gst_element_get_static_pad(sink_, "sink");
    gst_pad_add_probe(
        pad, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer data) {
            auto* self = static_cast<Pipeline*>(data);
            if (self->durationAtFirstFrame_ < 0)
                gst_element_query_duration(self->pipeline_, GST_FORMAT_TIME,
                                           &self->durationAtFirstFrame_);
            return GST_PAD_PROBE_OK;
        },
        this, nullptr);
    gst_object_unref(pad);
}

Pipeline::~Pipeline() {
    if (sink_) gst_object_unref(sink_);
    if (!pipeline_) return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
}

bool Pipeline::Preroll() {
    if (!pipeline_) return false;
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    return gst_element_get_state(pipeline_, nullptr, nullptr, 30 * GST_SECOND) ==
           GST_STATE_CHANGE_SUCCESS;
}

bool Pipeline::Pull(Frame& frame) {
    if (!sink_) return false;
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 30 * GST_SECOND);
    if (!sample) return false;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstStructure* caps = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
    gst_structure_get_int(caps, "width", &frame.width);
    gst_structure_get_int(caps, "height", &frame.height);
    frame.pts = GST_BUFFER_PTS(buffer);
    frame.duration = GST_BUFFER_DURATION(buffer);
    frame.bgra.resize(gst_buffer_get_size(buffer));
    gst_buffer_extract(buffer, 0, frame.bgra.data(), frame.bgra.size());
    gst_sample_unref(sample);
    return true;
}

bool Pipeline::Seek(GstSeekFlags flags, GstClockTime time) {
    gst_element_set_state(pipeline_, GST_STATE_PAUSED);
    gst_element_get_state(pipeline_, nullptr, nullptr, 30 * GST_SECOND);
    return gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, gint64(time));
}

gint64 Pipeline::Duration() const {
    gint64 duration = -1;
    gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration);
    return duration;
}

std::string Pipeline::RunToEnd() {
    if (!pipeline_) return "no pipeline";
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline_);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_EOS));
    gst_object_unref(bus);
    if (!message) return "timed out";
    std::string text;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        text = error && error->message[0] ? error->message : "error without a message";
        if (error) g_error_free(error);
    }
    gst_message_unref(message);
    return text;
}

ToolResult RunTool(const std::string& command) {
    ToolResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof(chunk), pipe)) > 0) result.output.append(chunk, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace gsttest
