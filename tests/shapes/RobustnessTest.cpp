// Hostile and real-world input: random mutations of a movie with every kind of fill, and
// every movie of the shared corpus, parsed and drawn frame by frame.  Meant to run under
// the sanitizers; the checks here are only that everything finishes.
#include "ShapeTestSupport.h"

#include "support/BitmapWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <zlib.h>

using namespace swftest;

namespace {

std::vector<uint8_t> EveryFill() {
    RawImage photo{8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 99)};
    const SplitJpeg split = EncodeAbbreviatedJpeg(photo);
    std::vector<uint8_t> argb(8 * 8 * 4, 0x80);
    MatrixRecord fit;
    fit.hasScale = true;
    fit.scaleX = fit.scaleY = 20 << 16;
    fit.hasRotate = true;
    fit.rotateSkew0 = 3000;
    ShapeWriter shape(3);
    shape
        .FillStyles({FillStyleRecord::Solid({1, 2, 3, 200}),
                     FillStyleRecord::Linear(fit, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 9}}}),
                     FillStyleRecord::Radial(fit, {{30, {0, 255, 0, 255}}}),
                     FillStyleRecord::Bitmap(10, fit), FillStyleRecord::Bitmap(11, fit),
                     FillStyleRecord::Bitmap(12, fit)})
        .LineStyles({{30, {9, 9, 9, 255}}})
        .Change(StyleChange().Fill0(1).Fill1(2).Line(1))
        .Rectangle(0, 0, 300, 300)
        .Change(StyleChange().Fill0(3).Fill1(4))
        .CurveTo(500, 100, 600, 600)
        .LineTo(0, 0)
        .Change(StyleChange().NewStyles(
            {{FillStyleRecord::Bitmap(13, fit), FillStyleRecord::Solid({5, 5, 5, 5})}, {{0, {}}}}))
        .Change(StyleChange().Fill0(1).Line(1).Move(100, 100))
        .LineTo(600, 120)
        .LineTo(300, 500)
        .LineTo(100, 100);
    SwfWriter movie(32, 32, 12);
    movie.JPEGTables(split.tables)
        .Tag(kDefineBits, DefineBitsBody(10, split.image))
        .Tag(kDefineBitsJPEG3, DefineBitsJPEG3Body(11, EncodeJpeg(photo), Deflate({1, 2, 3})))
        .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(12, 5, 8, 8, argb))
        .Tag(kDefineBitsLossless, DefineBitsLosslessBody(13, 3, 8, 8, argb, 20))
        .Tag(ShapeWriter::TagCode(3), shape.TagBody(1, {0, 600, 0, 600}))
        .Tag(shapetest::kPlaceObject2, shapetest::Place(1, 1))
        .ShowFrame()
        .End();
    return movie.Finish();
}

TEST(Robustness, MutatedShapeAndBitmapMoviesRender) {
    const std::vector<uint8_t> original = EveryFill();
    {
        shapetest::Rendered frame(original, 32, 32);
        ASSERT_TRUE(frame.loaded);
        EXPECT_GT(frame.Pixel(5, 5)[3], 0);
    }
    std::mt19937 random(6);
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> bytes = original;
        const int changes = 1 + int(random() % 8);
        for (int i = 0; i < changes; ++i) {
            // Leave the header alone so that the body gets parsed.
            const size_t at = 21 + random() % (bytes.size() - 21);
            bytes[at] =
                random() % 3 == 0 ? uint8_t(random()) : uint8_t(bytes[at] ^ (1u << (random() % 8)));
        }
        if (round % 10 == 0) bytes.resize(21 + random() % (bytes.size() - 21));
        shapetest::Rendered frame(bytes, 32, 32);
    }
}

std::filesystem::path CorpusDirectory() {
    if (const char* dir = std::getenv("SWF_CORPUS_DIR")) return dir;
    return std::filesystem::path(__FILE__).parent_path() / "../../../shared/corpus";
}

// An uncompressed image of the movie: CWS bodies are inflated (up to the declared
// length, at most 64 MiB); anything else is returned as read.
std::vector<uint8_t> Uncompressed(const std::vector<uint8_t>& file) {
    if (file.size() < 8 || file[0] != 'C' || file[1] != 'W' || file[2] != 'S') return file;
    const uint32_t length = std::min<uint32_t>(
        file[4] | file[5] << 8 | file[6] << 16 | uint32_t(file[7]) << 24, 64u << 20);
    std::vector<uint8_t> out(std::max<uint32_t>(length, 8), 0);
    std::copy(file.begin(), file.begin() + 8, out.begin());
    out[0] = 'F';
    z_stream stream{};
    inflateInit(&stream);
    stream.next_in = const_cast<Bytef*>(file.data() + 8);
    stream.avail_in = uInt(file.size() - 8);
    stream.next_out = out.data() + 8;
    stream.avail_out = uInt(out.size() - 8);
    inflate(&stream, Z_FINISH);
    out.resize(8 + stream.total_out);
    inflateEnd(&stream);
    return out;
}

TEST(Robustness, EveryCorpusMovieRendersEveryFrame) {
    const std::filesystem::path root = CorpusDirectory();
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "no corpus at " << root;
    int movies = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".swf") continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        const auto start = std::chrono::steady_clock::now();
        UT::FlashScript movie;
        if (!shapetest::Load(movie, Uncompressed(file))) continue;
        ++movies;
        const RectF stage = movie.FrameRect();
        const int width = std::clamp(int(stage.xmax - stage.xmin), 1, 1024);
        const int height = std::clamp(int(stage.ymax - stage.ymin), 1, 1024);
        shapetest::Canvas canvas(width, height);
        // Frame counts may lie: go a little past the declared count.
        const int32_t frames = std::min<int32_t>(int32_t(movie.FrameCount()) + 2, 400);
        for (int32_t frame = 0; frame < frames; ++frame) {
            movie.GotoFrame(frame);
            canvas.context.Reset();
            canvas.context.Clear({0, 0, 0, 0});
            movie.RenderDisplayList(canvas.context);
        }
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_LT(seconds.count(), 60.0);
    }
    EXPECT_GT(movies, 100);
}

} // namespace
