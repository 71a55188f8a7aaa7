#include "tools/gstreamer/SwfPluginDec.h"

#include "tools/gstreamer/MovieDecoder.h"
#include "tools/gstreamer/MovieSpool.h"
#include "tools/swfhost/Background.h"
#include "tools/swfhost/HostError.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

GST_DEBUG_CATEGORY_STATIC(swf_plugin_dec_debug);
#define GST_CAT_DEFAULT swf_plugin_dec_debug

namespace {

constexpr const char* kLibraryName = "libswfplugin.so";
constexpr const char* kLibraryVariable = "SWFPLUGIN_LIBRARY";
// A movie's stage can ask for a picture far beyond memory; downstream then has to ask
// for a smaller one.
constexpr int64_t kMaxPixels = 64 * 1024 * 1024;

enum Property { kPropertyZero, kPropertyBackground, kPropertyPluginPath };

// Everything of the element that is not GObject: the received movie, the opened movie,
// the output segment and the buffers.  The streaming task owns the movie; the seek
// handler changes the segment while holding the source pad's stream lock.
struct DecoderState {
    // Properties, under the object lock.
    std::string pluginPath;
    std::string backgroundText = "none";
    Background background;

    std::shared_ptr<const PluginHost> plugin; // loaded on the way to PAUSED
    MovieSpool spool;
    bool received = false;               // the whole movie is there: the task may run
    std::unique_ptr<MovieDecoder> movie; // the streaming task's
    // The same for queries and seeks from other threads: set once it is open, cleared
    // before it goes.
    std::atomic<const MovieDecoder*> openMovie{nullptr};
    bool failed = false;

    GstSegment segment{};
    int64_t nextFrame = 0;
    bool streamStarted = false;
    bool needSegment = true;
    bool discont = true;
    guint32 seqnum = 0;

    GstCaps* caps = nullptr;
    GstBufferPool* pool = nullptr;
};

} // namespace

struct _SwfPluginDec {
    GstElement parent;
    GstPad* sinkpad;
    GstPad* srcpad;
    DecoderState* state;
};

G_DEFINE_TYPE(SwfPluginDec, swf_plugin_dec, GST_TYPE_ELEMENT)

namespace {

GstStaticPadTemplate gSinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("application/x-shockwave-flash"));

GstStaticPadTemplate gSrcTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("video/x-raw, format = (string) BGRA, width = (int) [ 1, MAX ], "
                    "height = (int) [ 1, MAX ], framerate = (fraction) [ 1/1, MAX ], "
                    "pixel-aspect-ratio = (fraction) 1/1"));

// ---- The plug-in library ---------------------------------------------------------------

// The property, else $SWFPLUGIN_LIBRARY, else libswfplugin.so beside this element's own
// file, else the library this element was built with.
std::string LibraryPath(SwfPluginDec* self) {
    GST_OBJECT_LOCK(self);
    std::string path = self->state->pluginPath;
    GST_OBJECT_UNLOCK(self);
    if (!path.empty()) return path;
    if (const char* variable = g_getenv(kLibraryVariable); variable && *variable) return variable;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&swf_plugin_dec_register), &info) && info.dli_fname) {
        std::error_code error;
        const std::filesystem::path beside =
            std::filesystem::path(info.dli_fname).parent_path() / kLibraryName;
        if (std::filesystem::is_regular_file(beside, error)) return beside.string();
    }
    return SWFPLUGIN_DEFAULT_PATH;
}

// ---- Receiving the movie -----------------------------------------------------------------

// The local file upstream reads, when it names one and `first` (the stream's first
// bytes) matches its start; empty otherwise.
std::string UpstreamFile(GstPad* sinkpad, GstBuffer* first) {
    GstQuery* query = gst_query_new_uri();
    gchar* uri = nullptr;
    if (gst_pad_peer_query(sinkpad, query)) gst_query_parse_uri(query, &uri);
    gst_query_unref(query);
    std::string path;
    if (uri && g_str_has_prefix(uri, "file:")) {
        if (gchar* name = g_filename_from_uri(uri, nullptr, nullptr)) {
            path = name;
            g_free(name);
        }
    }
    g_free(uri);
    if (path.empty()) return path;
    if (GST_BUFFER_OFFSET_IS_VALID(first) && GST_BUFFER_OFFSET(first) != 0) return {};
    // An element between the file and this one may change the bytes.
    const size_t size = std::min<size_t>(gst_buffer_get_size(first), 64);
    std::vector<char> expected(size), start(size);
    gst_buffer_extract(first, 0, expected.data(), size);
    std::ifstream in(path, std::ios::binary);
    in.read(start.data(), std::streamsize(size));
    if (size == 0 || size_t(in.gcount()) != size || start != expected) return {};
    return path;
}

void Loop(gpointer data);

void StartTask(SwfPluginDec* self) {
    gst_pad_start_task(self->srcpad, Loop, self, nullptr);
}

GstFlowReturn SinkChain(GstPad* pad, GstObject* parent, GstBuffer* buffer) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(parent);
    DecoderState& state = *self->state;
    // Once the movie is read from its file, the stream's bytes are dropped as they come
    // (ending the stream early from here leaves decodebin3 waiting).
    if (state.received) {
        gst_buffer_unref(buffer);
        return GST_FLOW_OK;
    }
    if (state.spool.Empty()) {
        const std::string file = UpstreamFile(pad, buffer);
        if (!file.empty()) {
            GST_DEBUG_OBJECT(self, "reading the movie from %s", file.c_str());
            gst_buffer_unref(buffer);
            state.spool.UseFile(file);
            state.received = true;
            StartTask(self);
            return GST_FLOW_OK;
        }
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        gst_buffer_unref(buffer);
        return GST_FLOW_ERROR;
    }
    GstFlowReturn result = GST_FLOW_OK;
    try {
        state.spool.Append(map.data, map.size);
    } catch (const HostError& error) {
        GST_ELEMENT_ERROR(self, RESOURCE, WRITE, ("%s", error.what()), (nullptr));
        result = GST_FLOW_ERROR;
    }
    gst_buffer_unmap(buffer, &map);
    gst_buffer_unref(buffer);
    return result;
}

gboolean SinkEvent(GstPad*, GstObject* parent, GstEvent* event) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(parent);
    DecoderState& state = *self->state;
    // The element makes its own stream: nothing of the byte stream goes on downstream.
    if (GST_EVENT_TYPE(event) == GST_EVENT_EOS && !state.received) {
        bool ok = true;
        try {
            state.spool.Finish();
        } catch (const HostError& error) {
            GST_ELEMENT_ERROR(self, RESOURCE, WRITE, ("%s", error.what()), (nullptr));
            ok = false;
        }
        if (ok && state.spool.Empty()) {
            GST_ELEMENT_ERROR(self, STREAM, DECODE, ("The stream ended before any data came."),
                              (nullptr));
            ok = false;
        }
        if (ok) {
            state.received = true;
            StartTask(self);
        } else {
            gst_pad_push_event(self->srcpad, gst_event_new_eos());
        }
    }
    gst_event_unref(event);
    return TRUE;
}

// ---- Opening the movie and choosing the picture size -------------------------------------

// Posts the failure as an element error and ends the stream.
void Fail(SwfPluginDec* self, const HostError& error) {
    if (error.Code() == kExitPlugin)
        GST_ELEMENT_ERROR(self, LIBRARY, INIT, ("%s", error.what()), (nullptr));
    else if (error.Code() == kExitOutput)
        GST_ELEMENT_ERROR(self, RESOURCE, WRITE, ("%s", error.what()), (nullptr));
    else
        GST_ELEMENT_ERROR(self, STREAM, DECODE, ("%s", error.what()), (nullptr));
    self->state->failed = true;
    gst_pad_pause_task(self->srcpad);
}

void Open(SwfPluginDec* self) {
    DecoderState& state = *self->state;
    state.movie = std::make_unique<MovieDecoder>(state.plugin, state.spool.Path());
    const MovieDecoder& movie = *state.movie;
    GST_INFO_OBJECT(self,
                    "movie of %d x %d pixels, %d/%d frames per second, %" G_GINT64_FORMAT " frames",
                    movie.NaturalWidth(), movie.NaturalHeight(), movie.RateNumerator(),
                    movie.RateDenominator(), movie.FrameCount());
    GST_OBJECT_LOCK(self);
    state.segment.duration = movie.Duration();
    state.nextFrame = movie.FrameAt(state.segment.position);
    GST_OBJECT_UNLOCK(self);
    state.openMovie = state.movie.get();
    gst_element_post_message(GST_ELEMENT(self), gst_message_new_duration_changed(GST_OBJECT(self)));
}

// The caps the movie can be given in: any size, the movie's own frame rate.
GstCaps* MovieCaps(const MovieDecoder& movie) {
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRA", "width",
                               GST_TYPE_INT_RANGE, 1, G_MAXINT, "height", GST_TYPE_INT_RANGE, 1,
                               G_MAXINT, "framerate", GST_TYPE_FRACTION, movie.RateNumerator(),
                               movie.RateDenominator(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1,
                               1, nullptr);
}

int Proportional(int natural, int given, int naturalGiven) {
    return int(std::clamp<double>(std::round(double(natural) * given / naturalGiven), 1, G_MAXINT));
}

// The size downstream asks for; where it leaves width and height open, the movie's own,
// and where it fixes one of them, the other in the movie's proportions.
GstCaps* ChooseCaps(SwfPluginDec* self, const MovieDecoder& movie) {
    GstCaps* filter = MovieCaps(movie);
    GstCaps* caps = gst_pad_peer_query_caps(self->srcpad, filter);
    gst_caps_unref(filter);
    if (gst_caps_is_empty(caps)) {
        gst_caps_unref(caps);
        return nullptr;
    }
    caps = gst_caps_truncate(caps);
    caps = gst_caps_make_writable(caps);
    GstStructure* structure = gst_caps_get_structure(caps, 0);
    int width = 0, height = 0;
    const bool widthFixed = gst_structure_get_int(structure, "width", &width);
    const bool heightFixed = gst_structure_get_int(structure, "height", &height);
    if (widthFixed && !heightFixed)
        gst_structure_fixate_field_nearest_int(
            structure, "height", Proportional(movie.NaturalHeight(), width, movie.NaturalWidth()));
    else if (heightFixed && !widthFixed)
        gst_structure_fixate_field_nearest_int(
            structure, "width", Proportional(movie.NaturalWidth(), height, movie.NaturalHeight()));
    gst_structure_fixate_field_nearest_int(structure, "width", movie.NaturalWidth());
    gst_structure_fixate_field_nearest_int(structure, "height", movie.NaturalHeight());
    return gst_caps_fixate(caps);
}

void MakePool(SwfPluginDec* self, GstCaps* caps, guint size) {
    DecoderState& state = *self->state;
    if (state.pool) {
        gst_buffer_pool_set_active(state.pool, FALSE);
        gst_object_unref(state.pool);
    }
    state.pool = gst_buffer_pool_new();
    GstStructure* config = gst_buffer_pool_get_config(state.pool);
    gst_buffer_pool_config_set_params(config, caps, size, 2, 0);
    gst_buffer_pool_set_config(state.pool, config);
    gst_buffer_pool_set_active(state.pool, TRUE);
}

// Agrees on the picture size with downstream and has the plug-in draw at it.
bool Negotiate(SwfPluginDec* self) {
    DecoderState& state = *self->state;
    MovieDecoder& movie = *state.movie;
    GstCaps* caps = ChooseCaps(self, movie);
    if (!caps) {
        GST_ELEMENT_ERROR(self, CORE, NEGOTIATION,
                          ("Downstream takes no BGRA video at %d/%d "
                           "frames per second.",
                           movie.RateNumerator(), movie.RateDenominator()),
                          (nullptr));
        return false;
    }
    if (state.caps && gst_caps_is_equal(caps, state.caps)) {
        gst_caps_unref(caps);
        return true;
    }
    GstStructure* structure = gst_caps_get_structure(caps, 0);
    int width = 0, height = 0;
    gst_structure_get_int(structure, "width", &width);
    gst_structure_get_int(structure, "height", &height);
    if (int64_t(width) * height > kMaxPixels) {
        GST_ELEMENT_ERROR(self, STREAM, DECODE,
                          ("The picture would be %d x %d pixels, more than %" G_GINT64_FORMAT
                           "; ask for a smaller size (a caps filter with width and height).",
                           width, height, kMaxPixels),
                          (nullptr));
        gst_caps_unref(caps);
        return false;
    }
    movie.SetSize(width, height);
    GST_DEBUG_OBJECT(self, "drawing at %d x %d", width, height);
    if (!gst_pad_set_caps(self->srcpad, caps)) {
        GST_ELEMENT_ERROR(self, CORE, NEGOTIATION, ("Downstream refuses %d x %d.", width, height),
                          (nullptr));
        gst_caps_unref(caps);
        return false;
    }
    MakePool(self, caps, guint(width) * guint(height) * 4);
    gst_caps_replace(&state.caps, caps);
    gst_caps_unref(caps);
    return true;
}

// ---- The streaming task --------------------------------------------------------------------

void EndSegment(SwfPluginDec* self) {
    DecoderState& state = *self->state;
    if (state.segment.flags & GST_SEGMENT_FLAG_SEGMENT) {
        const gint64 stop = GST_CLOCK_TIME_IS_VALID(state.segment.stop)
                                ? gint64(state.segment.stop)
                                : gint64(state.segment.duration);
        GstMessage* message = gst_message_new_segment_done(GST_OBJECT(self), GST_FORMAT_TIME, stop);
        gst_message_set_seqnum(message, state.seqnum);
        gst_element_post_message(GST_ELEMENT(self), message);
        GstEvent* event = gst_event_new_segment_done(GST_FORMAT_TIME, stop);
        gst_event_set_seqnum(event, state.seqnum);
        gst_pad_push_event(self->srcpad, event);
    } else {
        GstEvent* event = gst_event_new_eos();
        if (state.seqnum) gst_event_set_seqnum(event, state.seqnum);
        gst_pad_push_event(self->srcpad, event);
    }
    gst_pad_pause_task(self->srcpad);
}

// Stream start, caps and segment, as far as each is due.
bool PushStreamEvents(SwfPluginDec* self) {
    DecoderState& state = *self->state;
    if (!state.streamStarted) {
        gchar* id = gst_pad_create_stream_id(self->srcpad, GST_ELEMENT(self), nullptr);
        GstEvent* event = gst_event_new_stream_start(id);
        gst_event_set_group_id(event, gst_util_group_id_next());
        g_free(id);
        gst_pad_push_event(self->srcpad, event);
        state.streamStarted = true;
    }
    // Linking a pad on seeing the caps asks again for them: settle before the first frame.
    for (int round = 0; round < 3; ++round) {
        if (state.caps && !gst_pad_check_reconfigure(self->srcpad)) break;
        if (!Negotiate(self)) return false;
    }
    if (state.needSegment) {
        GST_OBJECT_LOCK(self);
        GstEvent* event = gst_event_new_segment(&state.segment);
        GST_OBJECT_UNLOCK(self);
        if (state.seqnum) gst_event_set_seqnum(event, state.seqnum);
        gst_pad_push_event(self->srcpad, event);
        state.needSegment = false;
    }
    return true;
}

GstBuffer* DrawFrame(SwfPluginDec* self, int64_t frame) {
    DecoderState& state = *self->state;
    MovieDecoder& movie = *state.movie;
    GstBuffer* buffer = nullptr;
    if (gst_buffer_pool_acquire_buffer(state.pool, &buffer, nullptr) != GST_FLOW_OK)
        throw HostError(kExitMovieFailed, "no buffer for the picture");
    GST_OBJECT_LOCK(self);
    const Background background = state.background;
    GST_OBJECT_UNLOCK(self);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    try {
        movie.DrawFrame(frame, background, map.data, size_t(movie.Width()) * 4);
    } catch (...) {
        gst_buffer_unmap(buffer, &map);
        gst_buffer_unref(buffer);
        throw;
    }
    gst_buffer_unmap(buffer, &map);
    const uint64_t start = movie.FrameTime(frame);
    GST_BUFFER_PTS(buffer) = start;
    GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(buffer) = movie.FrameTime(frame + 1) - start;
    GST_BUFFER_OFFSET(buffer) = guint64(frame);
    GST_BUFFER_OFFSET_END(buffer) = guint64(frame + 1);
    if (state.discont) {
        GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
        state.discont = false;
    }
    return buffer;
}

void Loop(gpointer data) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(data);
    DecoderState& state = *self->state;
    if (state.failed) {
        gst_pad_pause_task(self->srcpad);
        return;
    }
    try {
        if (!state.movie) Open(self);
        if (!PushStreamEvents(self)) {
            state.failed = true;
            gst_pad_push_event(self->srcpad, gst_event_new_eos());
            gst_pad_pause_task(self->srcpad);
            return;
        }
        const int64_t frame = state.nextFrame;
        MovieDecoder& movie = *state.movie;
        if (frame >= movie.FrameCount() || (GST_CLOCK_TIME_IS_VALID(state.segment.stop) &&
                                            movie.FrameTime(frame) >= state.segment.stop)) {
            EndSegment(self);
            return;
        }
        GstBuffer* buffer = DrawFrame(self, frame);
        GST_OBJECT_LOCK(self);
        state.segment.position = GST_BUFFER_PTS(buffer);
        GST_OBJECT_UNLOCK(self);
        state.nextFrame = frame + 1;
        const GstFlowReturn result = gst_pad_push(self->srcpad, buffer);
        if (result == GST_FLOW_OK) return;
        if (result == GST_FLOW_NOT_NEGOTIATED && gst_pad_needs_reconfigure(self->srcpad)) {
            state.nextFrame = frame; // drawn again at the size downstream now takes
            return;
        }
        GST_DEBUG_OBJECT(self, "pausing: %s", gst_flow_get_name(result));
        if (result != GST_FLOW_FLUSHING && result != GST_FLOW_EOS) {
            GST_ELEMENT_FLOW_ERROR(self, result);
            gst_pad_push_event(self->srcpad, gst_event_new_eos());
        }
        gst_pad_pause_task(self->srcpad);
    } catch (const HostError& error) {
        Fail(self, error);
    } catch (const std::exception& error) {
        Fail(self, HostError(kExitMovieFailed, error.what()));
    }
}

// ---- Seeking and queries --------------------------------------------------------------------

// Every frame is drawn on its own, so a key-unit seek lands on the frame that holds the
// time asked for (or the next one, with snap-after); an accurate one starts at the time
// itself within that frame.
gint64 SnapToFrame(const MovieDecoder& movie, GstSeekFlags flags, gint64 time) {
    if (time < 0 ||
        !(flags & (GST_SEEK_FLAG_KEY_UNIT | GST_SEEK_FLAG_SNAP_BEFORE | GST_SEEK_FLAG_SNAP_AFTER)))
        return time;
    int64_t frame = movie.FrameAt(uint64_t(time));
    const uint64_t before = movie.FrameTime(frame), after = movie.FrameTime(frame + 1);
    const bool snapBefore = flags & GST_SEEK_FLAG_SNAP_BEFORE;
    const bool snapAfter = flags & GST_SEEK_FLAG_SNAP_AFTER;
    if (uint64_t(time) != before && snapAfter &&
        (!snapBefore || after - uint64_t(time) < uint64_t(time) - before))
        ++frame;
    return gint64(movie.FrameTime(std::min(frame, movie.FrameCount())));
}

// Frame numbers (the DEFAULT format) to time.
bool ToTime(const MovieDecoder* movie, GstFormat format, GstSeekType type, gint64& value) {
    if (format == GST_FORMAT_TIME || type == GST_SEEK_TYPE_NONE || value < 0) return true;
    if (format != GST_FORMAT_DEFAULT || !movie) return false;
    value = gint64(movie->FrameTime(value));
    return true;
}

gboolean HandleSeek(SwfPluginDec* self, GstEvent* event) {
    DecoderState& state = *self->state;
    gdouble rate = 1.0;
    GstFormat format = GST_FORMAT_UNDEFINED;
    GstSeekFlags flags = GST_SEEK_FLAG_NONE;
    GstSeekType startType = GST_SEEK_TYPE_NONE, stopType = GST_SEEK_TYPE_NONE;
    gint64 start = 0, stop = 0;
    gst_event_parse_seek(event, &rate, &format, &flags, &startType, &start, &stopType, &stop);
    const guint32 seqnum = gst_event_get_seqnum(event);
    gst_event_unref(event);
    if (rate <= 0) {
        GST_DEBUG_OBJECT(self, "playing backwards is not supported");
        return FALSE;
    }
    const MovieDecoder* movie = state.openMovie;
    if (!ToTime(movie, format, startType, start) || !ToTime(movie, format, stopType, stop))
        return FALSE;

    const bool flush = flags & GST_SEEK_FLAG_FLUSH;
    if (flush) {
        GstEvent* flushStart = gst_event_new_flush_start();
        gst_event_set_seqnum(flushStart, seqnum);
        gst_pad_push_event(self->srcpad, flushStart);
    } else {
        gst_pad_pause_task(self->srcpad);
    }
    GST_PAD_STREAM_LOCK(self->srcpad);
    movie = state.openMovie; // the task may have opened it meanwhile
    if (movie && startType == GST_SEEK_TYPE_SET) start = SnapToFrame(*movie, flags, start);
    gboolean update = FALSE;
    GST_OBJECT_LOCK(self);
    gst_segment_do_seek(&state.segment, rate, GST_FORMAT_TIME, flags, startType, start, stopType,
                        stop, &update);
    if (movie) state.nextFrame = movie->FrameAt(state.segment.position);
    GST_OBJECT_UNLOCK(self);
    state.needSegment = true;
    state.discont = true;
    state.seqnum = seqnum;
    if (flush) {
        GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
        gst_event_set_seqnum(flushStop, seqnum);
        gst_pad_push_event(self->srcpad, flushStop);
    }
    if (state.received && !state.failed) StartTask(self);
    GST_PAD_STREAM_UNLOCK(self->srcpad);
    return TRUE;
}

gboolean SrcEvent(GstPad*, GstObject* parent, GstEvent* event) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(parent);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEEK) return HandleSeek(self, event);
    // Reconfigure marks the pad (the task negotiates again); upstream carries only bytes.
    const bool known =
        GST_EVENT_TYPE(event) == GST_EVENT_RECONFIGURE || GST_EVENT_TYPE(event) == GST_EVENT_QOS ||
        GST_EVENT_TYPE(event) == GST_EVENT_NAVIGATION || GST_EVENT_TYPE(event) == GST_EVENT_LATENCY;
    gst_event_unref(event);
    return known;
}

// Converts between time, frame numbers (DEFAULT) and bytes of picture.
bool Convert(const MovieDecoder& movie, GstFormat from, gint64 value, GstFormat to,
             gint64& result) {
    if (from == to || value < 0) {
        result = value;
        return true;
    }
    int64_t frame = 0;
    if (from == GST_FORMAT_TIME)
        frame = movie.FrameAt(uint64_t(value));
    else if (from == GST_FORMAT_DEFAULT)
        frame = value;
    else
        return false;
    if (to == GST_FORMAT_TIME)
        result = gint64(movie.FrameTime(frame));
    else if (to == GST_FORMAT_DEFAULT)
        result = frame;
    else
        return false;
    return true;
}

gboolean SrcQuery(GstPad* pad, GstObject* parent, GstQuery* query) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(parent);
    DecoderState& state = *self->state;
    // The movie, once opened, stays until the element goes back to READY, when the pads
    // no longer take queries.
    const MovieDecoder* movie = state.openMovie;
    switch (GST_QUERY_TYPE(query)) {
    case GST_QUERY_DURATION: {
        GstFormat format = GST_FORMAT_UNDEFINED;
        gst_query_parse_duration(query, &format, nullptr);
        gint64 duration = 0;
        if (!movie || !Convert(*movie, GST_FORMAT_DEFAULT, movie->FrameCount(), format, duration))
            return FALSE;
        gst_query_set_duration(query, format, duration);
        return TRUE;
    }
    case GST_QUERY_POSITION: {
        GstFormat format = GST_FORMAT_UNDEFINED;
        gst_query_parse_position(query, &format, nullptr);
        GST_OBJECT_LOCK(self);
        const gint64 position = gint64(state.segment.position);
        GST_OBJECT_UNLOCK(self);
        gint64 value = 0;
        if (format == GST_FORMAT_TIME)
            value = position;
        else if (!movie || !Convert(*movie, GST_FORMAT_TIME, position, format, value))
            return FALSE;
        gst_query_set_position(query, format, value);
        return TRUE;
    }
    case GST_QUERY_SEEKING: {
        GstFormat format = GST_FORMAT_UNDEFINED;
        gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
        if (format != GST_FORMAT_TIME && format != GST_FORMAT_DEFAULT) return FALSE;
        gint64 end = -1;
        if (movie) Convert(*movie, GST_FORMAT_DEFAULT, movie->FrameCount(), format, end);
        gst_query_set_seeking(query, format, TRUE, 0, end);
        return TRUE;
    }
    case GST_QUERY_CONVERT: {
        GstFormat from = GST_FORMAT_UNDEFINED, to = GST_FORMAT_UNDEFINED;
        gint64 value = 0, result = 0;
        gst_query_parse_convert(query, &from, &value, &to, nullptr);
        if (!movie || !Convert(*movie, from, value, to, result)) return FALSE;
        gst_query_set_convert(query, from, value, to, result);
        return TRUE;
    }
    case GST_QUERY_CAPS: {
        if (!movie) return gst_pad_query_default(pad, parent, query);
        GstCaps* filter = nullptr;
        gst_query_parse_caps(query, &filter);
        GstCaps* caps = MovieCaps(*movie);
        if (filter) {
            GstCaps* both = gst_caps_intersect_full(filter, caps, GST_CAPS_INTERSECT_FIRST);
            gst_caps_unref(caps);
            caps = both;
        }
        gst_query_set_caps_result(query, caps);
        gst_caps_unref(caps);
        return TRUE;
    }
    case GST_QUERY_LATENCY:
        // Not live: the first frame waits for the whole movie, then frames come at once.
        gst_query_set_latency(query, FALSE, 0, GST_CLOCK_TIME_NONE);
        return TRUE;
    default:
        return gst_pad_query_default(pad, parent, query);
    }
}

gboolean SrcActivateMode(GstPad* pad, GstObject*, GstPadMode mode, gboolean active) {
    if (mode == GST_PAD_MODE_PUSH && !active) return gst_pad_stop_task(pad);
    return TRUE;
}

// ---- State and properties --------------------------------------------------------------------

void ResetStream(SwfPluginDec* self) {
    DecoderState& state = *self->state;
    state.openMovie = nullptr;
    state.movie.reset();
    state.plugin.reset();
    state.spool.Reset();
    state.received = false;
    state.failed = false;
    GST_OBJECT_LOCK(self);
    gst_segment_init(&state.segment, GST_FORMAT_TIME);
    GST_OBJECT_UNLOCK(self);
    state.nextFrame = 0;
    state.streamStarted = false;
    state.needSegment = true;
    state.discont = true;
    state.seqnum = 0;
    gst_caps_replace(&state.caps, nullptr);
    if (state.pool) {
        gst_buffer_pool_set_active(state.pool, FALSE);
        gst_object_unref(state.pool);
        state.pool = nullptr;
    }
}

// A missing plug-in library fails the change to PAUSED, before any data flows.
bool LoadPlugin(SwfPluginDec* self) {
    try {
        self->state->plugin = MovieDecoder::LoadPlugin(LibraryPath(self));
        return true;
    } catch (const HostError& error) {
        GST_ELEMENT_ERROR(self, LIBRARY, INIT, ("%s", error.what()), (nullptr));
        return false;
    }
}

GstStateChangeReturn ChangeState(GstElement* element, GstStateChange transition) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(element);
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED) {
        ResetStream(self);
        if (!LoadPlugin(self)) return GST_STATE_CHANGE_FAILURE;
    }
    const GstStateChangeReturn result =
        GST_ELEMENT_CLASS(swf_plugin_dec_parent_class)->change_state(element, transition);
    if (transition == GST_STATE_CHANGE_PAUSED_TO_READY) ResetStream(self);
    return result;
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* property) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(object);
    DecoderState& state = *self->state;
    const gchar* text = g_value_get_string(value);
    switch (id) {
    case kPropertyBackground: {
        const std::optional<Background> background = Background::Parse(text ? text : "none");
        if (!background) {
            GST_WARNING_OBJECT(self, "background \"%s\" is neither none nor #RRGGBB", text);
            g_warning("swfplugindec: background \"%s\" is neither none nor #RRGGBB", text);
            return;
        }
        GST_OBJECT_LOCK(self);
        state.background = *background;
        state.backgroundText = text ? text : "none";
        GST_OBJECT_UNLOCK(self);
        break;
    }
    case kPropertyPluginPath:
        GST_OBJECT_LOCK(self);
        state.pluginPath = text ? text : "";
        GST_OBJECT_UNLOCK(self);
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
    }
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* property) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(object);
    DecoderState& state = *self->state;
    GST_OBJECT_LOCK(self);
    switch (id) {
    case kPropertyBackground:
        g_value_set_string(value, state.backgroundText.c_str());
        break;
    case kPropertyPluginPath:
        g_value_set_string(value, state.pluginPath.empty() ? nullptr : state.pluginPath.c_str());
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
    }
    GST_OBJECT_UNLOCK(self);
}

void Finalize(GObject* object) {
    SwfPluginDec* self = SWF_PLUGIN_DEC(object);
    ResetStream(self);
    delete self->state;
    G_OBJECT_CLASS(swf_plugin_dec_parent_class)->finalize(object);
}

} // namespace

static void swf_plugin_dec_class_init(SwfPluginDecClass* klass) {
    GObjectClass* objectClass = G_OBJECT_CLASS(klass);
    GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
    objectClass->set_property = SetProperty;
    objectClass->get_property = GetProperty;
    objectClass->finalize = Finalize;
    g_object_class_install_property(
        objectClass, kPropertyBackground,
        g_param_spec_string(
            "background", "Background",
            "What the frames are drawn over: none (transparent, the alpha "
            "channel kept) or an opaque colour #RRGGBB",
            "none",
            GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_PLAYING)));
    g_object_class_install_property(
        objectClass, kPropertyPluginPath,
        g_param_spec_string(
            "plugin-path", "Plug-in library",
            "Path of the SWF reader plug-in library (libswfplugin.so); unset: "
            "$SWFPLUGIN_LIBRARY, else the one beside this element, else the "
            "one it was built with (" SWFPLUGIN_DEFAULT_PATH ")",
            nullptr,
            GParamFlags(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS | GST_PARAM_MUTABLE_READY)));
    elementClass->change_state = ChangeState;
    gst_element_class_add_static_pad_template(elementClass, &gSinkTemplate);
    gst_element_class_add_static_pad_template(elementClass, &gSrcTemplate);
    // A movie is a container that the element turns into one raw video stream.  As a
    // demuxer it is plugged inside parsebin, whose raw video output playbin3 and
    // decodebin3 take; a decoder of a stream type they cannot name (SWF) they leave out.
    // decodebin and playbin plug it either way.
    gst_element_class_set_static_metadata(
        elementClass, "SWF movie decoder (swfplugin)", "Codec/Demuxer/Video",
        "Draws every frame of a Shockwave Flash movie through the swfplugin reader plug-in, "
        "at the size downstream asks for, as BGRA with straight alpha",
        "swfplugin developers");
    GST_DEBUG_CATEGORY_INIT(swf_plugin_dec_debug, "swfplugindec", 0, "SWF movie decoder");
}

static void swf_plugin_dec_init(SwfPluginDec* self) {
    self->state = new DecoderState;
    gst_segment_init(&self->state->segment, GST_FORMAT_TIME);
    self->sinkpad = gst_pad_new_from_static_template(&gSinkTemplate, "sink");
    gst_pad_set_chain_function(self->sinkpad, SinkChain);
    gst_pad_set_event_function(self->sinkpad, SinkEvent);
    gst_element_add_pad(GST_ELEMENT(self), self->sinkpad);
    self->srcpad = gst_pad_new_from_static_template(&gSrcTemplate, "src");
    gst_pad_set_event_function(self->srcpad, SrcEvent);
    gst_pad_set_query_function(self->srcpad, SrcQuery);
    gst_pad_set_activatemode_function(self->srcpad, SrcActivateMode);
    gst_element_add_pad(GST_ELEMENT(self), self->srcpad);
}

gboolean swf_plugin_dec_register(GstPlugin* plugin) {
    return gst_element_register(plugin, "swfplugindec", GST_RANK_PRIMARY, SWF_TYPE_PLUGIN_DEC);
}
