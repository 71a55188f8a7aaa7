// End to end: the built swfframes on movies from the SWF writer, its PNG files decoded
// back with libpng and compared with the frames read straight through the plug-in.
#include "ToolRunner.h"
#include "support/PlaceTags.h"
#include "support/SampleMovies.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/PngWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace tooltest;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

constexpr int kWidth = 40, kHeight = 30, kFrames = 4;

const std::string& Movie() {
    static const std::string path = WriteFile("e2e.swf", swftest::MovingBarMovie(kFrames));
    return path;
}

// The PNG equals the plug-in's frame with blue and red swapped, row for row.
void ExpectSameFrame(const std::string& png, const DirectFrame& direct) {
    const RgbaImage image = ReadPng(png);
    ASSERT_EQ(image.width, direct.width);
    ASSERT_EQ(image.height, direct.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        ASSERT_EQ(image.pixels[i], direct.bgra[i - i % 4 + size_t("\2\1\0\3"[i % 4])])
            << png << " byte " << i;
}

std::vector<uint8_t> Pixel(const RgbaImage& image, int x, int y) {
    return {image.Row(y) + size_t(x) * 4, image.Row(y) + size_t(x) * 4 + 4};
}

// Renders `frame` of the test movie with `options` and reads its PNG back.
RgbaImage RenderedFrame(const std::string& frame, const Args& options = {}) {
    const std::string out = FreshFolder("e2e_frame");
    Args args = {"render", Movie(), "-o", out, "--frames", frame};
    args.insert(args.end(), options.begin(), options.end());
    const RunResult run = RunSwfframes(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return ReadPng(out + "/e2e-000" + frame + ".png");
}

} // namespace

TEST(Swfframes, RendersEveryFrameLikeThePlugin) {
    const std::string out = FreshFolder("e2e_all");
    const RunResult run = RunSwfframes({"render", Movie(), "-o", out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("4 frames, 40 x 30"), std::string::npos) << run.out;
    for (int frame = 0; frame < kFrames; ++frame)
        ExpectSameFrame(out + "/e2e-000" + std::to_string(frame) + ".png",
                        ReadDirectly(Movie(), frame));
    EXPECT_FALSE(fs::exists(out + "/e2e-0004.png"));
    // The host composites the background: half-transparent blue over green.
    const RgbaImage green = RenderedFrame("0", {"--background", "#00FF00"});
    EXPECT_EQ(Pixel(green, 2, 25), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(green, 32, 25), (std::vector<uint8_t>{0, 127, 128, 255}));
}

TEST(Swfframes, ZoomStretchAndFitSizeThePicture) {
    const std::pair<Args, std::pair<int, int>> cases[] = {
        {{"--zoom", "0.5", "--stretch", "3"}, {60, 15}},
        {{"--width", "100"}, {100, 75}},
        {{"--width", "33", "--height", "50"}, {33, 50}}};
    for (const auto& [options, size] : cases) {
        const RgbaImage image = RenderedFrame("1", options);
        EXPECT_EQ(std::pair(image.width, image.height), size) << options[0] << " " << options[1];
    }
    const std::string out = FreshFolder("e2e_zoom_compare");
    ASSERT_EQ(RunSwfframes({"render", Movie(), "-o", out, "--frames", "3", "--zoom", "2"}).exitCode,
              0);
    ExpectSameFrame(out + "/e2e-0003.png", ReadDirectly(Movie(), 3, 2.0));
}

TEST(Swfframes, ErrorCasesExitWithOneLineAndTheirCode) {
    const std::string out = FreshFolder("e2e_errors");
    const std::string text =
        WriteFile("e2e_text.swf", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
    std::vector<uint8_t> garbage = {'C', 'W', 'S', 6, 200, 0, 0, 0};
    garbage.insert(garbage.end(), 40, 0x5A);
    const std::string badCws = WriteFile("e2e_garbage.swf", garbage);
    swftest::SwfWriter hugeStage(20000, 20000, 12);
    hugeStage.ShowFrame().End();
    const std::string huge = WriteFile("e2e_huge.swf", hugeStage.Finish());
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
        std::string environment = "";
    };
    const std::vector<Case> cases = {
        {{"render", TempPath("missing.swf"), "-o", out}, 1, "no such file"},
        {{"render", text, "-o", out}, 1, "not a SWF movie"},
        {{"render", badCws, "-o", out}, 1, "damaged"},
        {{"render", Movie(), "-o", out, "--frames", "9"}, 1, "frame 9 is out of range"},
        {{"render", huge, "-o", out}, 1, "20000 x 20000 pixels, more than --max-pixels 64000000"},
        {{"render", Movie(), "-o", text + "/sub"}, 4, "cannot make the output folder"},
        {{"render", Movie(), "-o", out, "--plugin", TempPath("none.so")},
         3,
         "plug-in library not found"},
        {{"render", Movie(), "-o", out, "--frames", "x"}, 2, "bad frame number"},
        {{"render", Movie(), "-o", out, "--bogus"}, 2, "unknown option"},
        {{"render", Movie(), "-o", out, "--png-compression", "max"}, 2, "fast, default or best"},
        {{"video", Movie(), "-o", out, "--quality", "high"}, 2, "--quality needs fast or small"},
        {{"bench", Movie(), "--passes", "1001"}, 2, "--passes needs a whole number from 1 to 1000"},
        {{"video", Movie(), "-o", out, "--format", "avi"}, 2, "gif, webp or apng"},
        {{"render", Movie()}, 2, "-o DIR"},
        {{"frobnicate", Movie()}, 2, "unknown command"},
        {{"inflate", Movie(), TempPath("x.swf")}, 1, "already uncompressed"},
        {{"video", Movie(), TempPath("e2e.mp4")},
         5,
         "ffmpeg is not installed",
         "PATH=/nonexistent"},
    };
    for (const Case& c : cases) {
        const RunResult run = RunSwfframes(c.args, c.environment);
        EXPECT_EQ(run.exitCode, c.code) << c.args[1] << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("terminate"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind("swfframes: ", 0), 0u) << run.err;
    }
}

TEST(Swfframes, BatchGoesOnPastAFailingMovie) {
    const std::string folder = FreshFolder("e2e_batch_in");
    WriteFile("e2e_batch_in/one.swf", swftest::MovingBarMovie(kFrames));
    WriteFile("e2e_batch_in/two.swf", swftest::Compressed(swftest::MovingBarMovie(kFrames)));
    WriteFile("e2e_batch_in/broken.swf", {'F', 'W', 'S'});
    WriteFile("e2e_batch_in/notes.txt", {'x'});
    const std::string out = FreshFolder("e2e_batch_out");
    const RunResult run =
        RunSwfframes({"render", folder, TempPath("absent.swf"), "-o", out, "--frames", "0"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("broken.swf"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("absent.swf: no such file"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(out + "/one/one-0000.png"));
    EXPECT_TRUE(fs::exists(out + "/two/two-0000.png"));
    EXPECT_FALSE(fs::exists(out + "/notes"));
}

TEST(Swfframes, ParallelJobsWriteTheSameBytesAsOne) {
    // One movie split into frame ranges, a folder of movies side by side, and a sheet.
    const std::string folder = FreshFolder("e2e_jobs_in");
    WriteFile("e2e_jobs_in/a.swf", swftest::MovingBarMovie(kFrames));
    WriteFile("e2e_jobs_in/b.swf", swftest::Compressed(swftest::MovingBarMovie(kFrames)));
    for (const std::string& input : {Movie(), folder}) {
        const std::string one = FreshFolder("e2e_jobs_1"), four = FreshFolder("e2e_jobs_4");
        ASSERT_EQ(RunSwfframes({"render", input, "-o", one, "--jobs", "1", "-q"}).exitCode, 0);
        ASSERT_EQ(RunSwfframes({"render", input, "-o", four, "--jobs", "4", "-q"}).exitCode, 0);
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(one))
            if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), one).string());
        EXPECT_EQ(files.size(), input == folder ? 2u * kFrames : size_t(kFrames)) << input;
        for (const std::string& file : files) {
            const std::string bytes = FileBytes(one + "/" + file);
            EXPECT_TRUE(!bytes.empty() && bytes == FileBytes(four + "/" + file)) << file;
        }
    }
    const std::string sheet1 = TempPath("e2e_jobs_1.png"), sheet4 = TempPath("e2e_jobs_4.png");
    ASSERT_EQ(RunSwfframes({"sheet", Movie(), sheet1, "--jobs", "1", "-q"}).exitCode, 0);
    ASSERT_EQ(RunSwfframes({"sheet", Movie(), sheet4, "--jobs", "4", "-q"}).exitCode, 0);
    EXPECT_EQ(FileBytes(sheet1), FileBytes(sheet4));
}

TEST(Swfframes, ContactSheetHasAGridOfCells) {
    const std::string sheet = TempPath("e2e_sheet/sheet.png");
    fs::remove_all(TempPath("e2e_sheet"));
    ASSERT_EQ(
        RunSwfframes({"sheet", Movie(), sheet, "--columns", "2", "--cell-width", "80"}).exitCode,
        0);
    const RgbaImage image = ReadPng(sheet);
    // Two rows of two 80 x 60 cells, 8-pixel margins and 16-pixel labels.
    EXPECT_EQ(image.width, 8 + 2 * (80 + 8));
    EXPECT_EQ(image.height, 8 + 2 * (60 + 16 + 8));
    // Cell 1 is frame 1 at zoom 2: its red bar starts 10 pixels in.
    EXPECT_EQ(Pixel(image, 8 + 88 + 12, 8 + 2), (std::vector<uint8_t>{255, 0, 0, 255}));
}

TEST(Swfframes, AWrongLengthFieldIsCorrectedByTheHostOnly) {
    std::vector<uint8_t> longer = swftest::MovingBarMovie(kFrames);
    ++longer[4]; // one byte more than the file has, as some SWF writers leave it
    std::vector<uint8_t> compressed = swftest::Compressed(swftest::MovingBarMovie(kFrames));
    ++compressed[4];
    const std::string plain = WriteFile("e2e_long.swf", longer);
    const std::string packed = WriteFile("e2e_long_cws.swf", compressed);
    EXPECT_EQ(PluginFrameCount(plain), 0); // the plug-in alone still refuses it
    for (const std::string& movie : {plain, packed}) {
        const std::string out = FreshFolder("e2e_long");
        const RunResult run = RunSwfframes({"render", movie, "-o", out});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string notice = "reading a corrected temporary copy";
        const size_t at = run.err.find(notice);
        EXPECT_NE(at, std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(notice, at + 1), std::string::npos) << run.err;
        for (int frame = 0; frame < kFrames; ++frame)
            ExpectSameFrame(out + "/" + MovieStem(movie) + "-000" + std::to_string(frame) + ".png",
                            ReadDirectly(Movie(), frame));
        const std::string repaired = TempPath("e2e_repaired.swf");
        const RunResult inflate = RunSwfframes({"inflate", movie, repaired});
        ASSERT_EQ(inflate.exitCode, 0) << inflate.err;
        EXPECT_NE(inflate.out.find("corrected from"), std::string::npos) << inflate.out;
        const std::vector<uint8_t> movieBytes = swftest::MovingBarMovie(kFrames);
        EXPECT_EQ(FileBytes(repaired), std::string(movieBytes.begin(), movieBytes.end()));
    }
}

namespace {

// Channels of a decoded frame within `tolerance` of the PNG at points inside the red bar,
// the half-transparent blue block and the background of frame 2 (where frame 0 had the
// bar); lossless ones at every pixel.  Colour is compared only where the PNG is not clear.
void ExpectNearFrame(const RgbaImage& decoded, const RgbaImage& png, bool alpha, int tolerance,
                     const std::string& what) {
    ASSERT_EQ(std::pair(decoded.width, decoded.height), std::pair(png.width, png.height)) << what;
    std::vector<std::pair<int, int>> points = {{14, 2}, {7, 2}, {32, 25}, {2, 25}, {30, 10}};
    if (tolerance == 0) {
        points.clear();
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) points.push_back({x, y});
    }
    for (const auto& [x, y] : points) {
        const std::vector<uint8_t> want = Pixel(png, x, y), got = Pixel(decoded, x, y);
        for (int c = alpha ? 3 : 0; c >= 0 && !(c < 3 && alpha && want[3] == 0); --c)
            EXPECT_NEAR(got[c], want[c], tolerance) << what << " " << c << " at " << x << "," << y;
    }
}

} // namespace

TEST(Swfframes, VideosDecodeBackToTheFrames) {
    ASSERT_TRUE(HaveFfmpeg()) << "ffmpeg is missing: scripts/install-deps.sh installs it";
    const struct {
        const char* extension;
        const char* decoder; // libvpx-vp9 keeps VP9's alpha
        bool alpha;
        int tolerance; // 0: lossless; -1: not decoded (ffmpeg reads only still WebP)
    } cases[] = {{".mov", "", true, 6},   {".webm", "libvpx-vp9", true, 24},
                 {".mp4", "", false, 24}, {".gif", "", true, 0},
                 {".apng", "", true, 0},  {".webp", "", true, -1}};
    for (const auto& c : cases) {
        const std::string file = TempPath(std::string("e2e_video") + c.extension);
        const RunResult run = RunSwfframes({"video", Movie(), file});
        ASSERT_EQ(run.exitCode, 0) << c.extension << ": " << run.err;
        if (c.tolerance < 0) continue;
        RgbaImage expected = RenderedFrame("2", {"--background", c.alpha ? "none" : "#000000"});
        // GIF keeps colours through its palette; alpha 128 and up is opaque.
        if (c.extension[1] == 'g')
            for (size_t i = 3; i < expected.pixels.size(); i += 4)
                expected.pixels[i] = expected.pixels[i] >= 128 ? 255 : 0;
        const std::vector<RgbaImage> frames = DecodeWithFfmpeg(file, kWidth, kHeight, c.decoder);
        ASSERT_EQ(frames.size(), size_t(kFrames)) << c.extension;
        ExpectNearFrame(frames[2], expected, c.alpha, c.tolerance, c.extension);
    }
}
