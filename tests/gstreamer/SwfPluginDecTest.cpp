// The GStreamer element swfplugindec in real pipelines: the GStreamer tools see it,
// decodebin picks it, and its frames are byte for byte the pictures swfframes writes
// (PNG, red, green, blue, alpha) for the whole movie, after seeks, at a size asked for by
// a caps filter and over a background; bad input ends in an error message.
#include "Pipeline.h"
#include "support/SampleMovies.h"
#include "tools/swfframes/PngWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace gsttest;
namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 72, kWidth = 550, kHeight = 400; // the demo: 24 frames a second

GstClockTime FrameTime(int frame) {
    return gst_util_uint64_scale_ceil(guint64(frame), GST_SECOND, 24);
}

class SwfPluginDecTest : public testing::Test {
protected:
    static void SetUpTestSuite() { InitGStreamer(); }

    // A folder of this process alone (ctest runs tests side by side), emptied when `fresh`.
    static std::string Folder(const std::string& name, bool fresh = true) {
        const fs::path path =
            fs::path(testing::TempDir()) / ("swfplugindec_" + std::to_string(getpid())) / name;
        if (fresh) fs::remove_all(path);
        fs::create_directories(path);
        return path.string();
    }
    static std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = Folder("movies", false) + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }
    static std::vector<uint8_t> Demo() {
        std::ifstream in(DEMO_MOVIE, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // swfframes' pictures of `frames` of `movie` with `options`, one PNG path per frame.
    static std::vector<std::string> Swfframes(const std::vector<int>& frames,
                                              const std::string& options = "",
                                              const std::string& movie = DEMO_MOVIE) {
        const std::string out = Folder("png");
        std::string list;
        for (const int frame : frames) {
            if (!list.empty()) list += ',';
            list += std::to_string(frame);
        }
        const ToolResult run = RunTool(std::string(SWFFRAMES_PATH) + " render --quiet " + movie +
                                       " -o " + out + " --frames " + list + " " + options);
        EXPECT_EQ(run.exitCode, 0) << run.output;
        std::vector<std::string> files;
        for (const int frame : frames) {
            char name[32];
            std::snprintf(name, sizeof(name), "-%04d.png", frame);
            files.push_back(out + "/" + fs::path(movie).stem().string() + name);
        }
        return files;
    }
};

// The element's BGRA equals the PNG's RGBA with red and blue swapped, byte for byte.
void ExpectSamePicture(const Frame& frame, const std::string& png, const std::string& what) {
    const RgbaImage image = ReadPng(png);
    ASSERT_EQ(frame.width, image.width) << what;
    ASSERT_EQ(frame.height, image.height) << what;
    ASSERT_EQ(frame.bgra.size(), image.pixels.size()) << what;
    for (size_t i = 0; i < image.pixels.size(); ++i)
        ASSERT_EQ(frame.bgra[i], image.pixels[i - i % 4 + size_t("\2\1\0\3"[i % 4])])
            << what << ", byte " << i;
}

std::string Decode(const std::string& file, const std::string& caps = "") {
    return "filesrc location=" + file + " ! decodebin ! " + (caps.empty() ? "" : caps + " ! ") +
           "appsink name=sink sync=false max-buffers=2 caps=video/x-raw,format=BGRA";
}

} // namespace

TEST_F(SwfPluginDecTest, GStreamerToolsFindTheElement) {
    const ToolResult inspect = RunTool("gst-inspect-1.0 swfplugindec");
    EXPECT_EQ(inspect.exitCode, 0) << inspect.output;
    for (const char* text : {"primary (256)", "application/x-shockwave-flash", "format: BGRA",
                             "background", "plugin-path"})
        EXPECT_NE(inspect.output.find(text), std::string::npos) << text << "\n" << inspect.output;
    const ToolResult discover = RunTool(std::string("gst-discoverer-1.0 ") + DEMO_MOVIE);
    EXPECT_EQ(discover.exitCode, 0) << discover.output;
    for (const char* text : {"Duration: 0:00:03.000000000", "Seekable: yes", "Width: 550",
                             "Height: 400", "Frame rate: 24/1"})
        EXPECT_NE(discover.output.find(text), std::string::npos) << text << "\n" << discover.output;
}

TEST_F(SwfPluginDecTest, EveryFrameAndSeeksMatchSwfframes) {
    std::vector<int> all(kFrames);
    for (int frame = 0; frame < kFrames; ++frame) all[size_t(frame)] = frame;
    const std::vector<std::string> pngs = Swfframes(all);
    Pipeline pipeline(Decode(DEMO_MOVIE));
    Frame frame;
    int count = 0;
    while (pipeline.Pull(frame)) {
        ASSERT_LT(count, kFrames);
        EXPECT_EQ(frame.pts, FrameTime(count)) << count;
        EXPECT_EQ(std::pair(frame.width, frame.height), std::pair(kWidth, kHeight));
        EXPECT_EQ(frame.duration, FrameTime(count + 1) - FrameTime(count)) << count;
        ExpectSamePicture(frame, pngs[size_t(count)], "frame " + std::to_string(count));
        ++count;
    }
    EXPECT_EQ(count, kFrames);
    EXPECT_EQ(pipeline.DurationAtFirstFrame(), gint64(3 * GST_SECOND));

    // Every frame stands alone: a key-unit seek lands on the frame that holds the time
    // (snap-after: the next one); an accurate seek starts inside it.
    const GstSeekFlags flush = GST_SEEK_FLAG_FLUSH;
    const struct {
        GstSeekFlags flags;
        GstClockTime time;
        int frame;
    } seeks[] = {
        {GstSeekFlags(flush | GST_SEEK_FLAG_KEY_UNIT), FrameTime(36), 36},
        {GstSeekFlags(flush | GST_SEEK_FLAG_ACCURATE), FrameTime(50) + 20 * GST_MSECOND, 50},
        {GstSeekFlags(flush | GST_SEEK_FLAG_KEY_UNIT | GST_SEEK_FLAG_SNAP_AFTER),
         FrameTime(50) + 20 * GST_MSECOND, 51},
        {GstSeekFlags(flush | GST_SEEK_FLAG_KEY_UNIT), FrameTime(71) + GST_MSECOND, 71},
    };
    for (const auto& seek : seeks) {
        const std::string what = "seek to " + std::to_string(seek.time);
        ASSERT_TRUE(pipeline.Seek(seek.flags, seek.time)) << what;
        for (int expected = seek.frame; expected < std::min(seek.frame + 2, kFrames); ++expected) {
            ASSERT_TRUE(pipeline.Pull(frame)) << what;
            EXPECT_EQ(frame.pts, FrameTime(expected)) << what;
            ExpectSamePicture(frame, pngs[size_t(expected)], what);
        }
    }
    EXPECT_FALSE(pipeline.Pull(frame)); // a clean end after the last frame
    EXPECT_EQ(pipeline.Duration(), gint64(3 * GST_SECOND));
}

TEST_F(SwfPluginDecTest, ASizeAskedForIsDrawnAtThatSize) {
    // Twice the movie's size is the stream's zoom 2, not a scaled picture.
    const std::vector<int> frames = {0, 1, 40};
    const std::vector<std::string> zoomed = Swfframes(frames, "--zoom 2");
    Pipeline pipeline(Decode(DEMO_MOVIE, "video/x-raw,width=1100,height=800"));
    Frame frame;
    for (const int expected : frames) {
        if (expected == 40) {
            ASSERT_TRUE(pipeline.Seek(GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT),
                                      FrameTime(40)));
        }
        ASSERT_TRUE(pipeline.Pull(frame));
        ExpectSamePicture(frame, zoomed[expected == 40 ? 2 : size_t(expected)],
                          "zoomed frame " + std::to_string(expected));
    }

    // Through gst-launch to a raw file, from a compressed movie fed through a pipe (no file
    // name upstream: the element keeps a copy), stretched and over a colour, like
    // swfframes --width --height --background.
    const std::string plain = WriteFile("translucent.swf", swftest::MovingBarMovie(4));
    const std::string cws =
        WriteFile("translucent-cws.swf", swftest::Compressed(swftest::MovingBarMovie(4)));
    const std::string raw = Folder("raw") + "/frames.bgra";
    const ToolResult launch =
        RunTool("gst-launch-1.0 -q fdsrc fd=0 ! swfplugindec background=#336699 ! "
                "video/x-raw,width=80,height=45 ! filesink location=" +
                raw + " < " + cws);
    ASSERT_EQ(launch.exitCode, 0) << launch.output;
    const std::vector<std::string> pngs =
        Swfframes({0, 1, 2, 3}, "--width 80 --height 45 --background '#336699'", plain);
    std::ifstream in(raw, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    const size_t frameSize = 80 * 45 * 4;
    ASSERT_EQ(bytes.size(), frameSize * 4);
    for (size_t index = 0; index < 4; ++index) {
        Frame part{0, 0, 80, 45, {}};
        part.bgra.assign(bytes.begin() + long(frameSize * index),
                         bytes.begin() + long(frameSize * (index + 1)));
        ExpectSamePicture(part, pngs[index], "raw frame " + std::to_string(index));
    }
}

TEST_F(SwfPluginDecTest, BadInputEndsInAnErrorMessage) {
    const std::vector<uint8_t> demo = Demo();
    const std::string text = WriteFile("text.swf", std::vector<uint8_t>(500, 'x'));
    const std::string cut = WriteFile("cut.swf", {demo.begin(), demo.begin() + 3000});
    std::vector<uint8_t> badCws = {'C', 'W', 'S', 6, 200, 0, 0, 0};
    badCws.insert(badCws.end(), 40, 0x5A);
    const std::string cws = WriteFile("bad-cws.swf", badCws);
    const struct {
        std::string pipeline;
        std::string message;
    } cases[] = {
        {"filesrc location=" + text + " ! swfplugindec", "not a SWF movie"},
        {"filesrc location=" + cut + " ! swfplugindec", "the movie is truncated"},
        {"filesrc location=" + cws + " ! swfplugindec", "compressed data is damaged"},
        {"filesrc location=" + text + " ! decodebin", ""}, // decodebin finds no type
        {"filesrc location=" + std::string(DEMO_MOVIE) +
             " ! swfplugindec plugin-path=/nonexistent/libswfplugin.so",
         "plug-in library not found: /nonexistent/libswfplugin.so"},
    };
    for (const auto& each : cases) {
        Pipeline pipeline(each.pipeline + " ! fakesink sync=false");
        const std::string error = pipeline.RunToEnd();
        EXPECT_FALSE(error.empty()) << each.pipeline;
        EXPECT_NE(error.find(each.message), std::string::npos) << each.pipeline << ": " << error;
    }
}
