// Hostile and real-world input: random mutations of a movie with every kind of fill, and
// every movie of the shared corpus, parsed and drawn frame by frame.  Meant to run under
// the sanitizers; the checks here are only that everything finishes.
#include "ShapeTestSupport.h"

#include "support/BitmapWriter.h"
#include "support/PlaceTags.h"
#include "support/TextWriter.h"

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

// Every tag of Flash 8 and later that draws, with the hostile values given: a DefineShape4
// with 15-stop focal and reflected gradients, fill-styled and mitred lines; a DefineFont3
// text; a DefineBitsJPEG4 fill; an empty JPEGTables before a DefineBits; PlaceObject3
// tags with filter lists (one claiming more filters and bigger ones than the tag holds).
std::vector<uint8_t> EveryFlash8Tag(int16_t focalPoint, uint16_t miterLimit) {
    RawImage photo{8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 99)};
    MatrixRecord fit;
    fit.hasScale = true;
    fit.scaleX = fit.scaleY = 20 << 16;
    std::vector<GradientStop> stops;
    for (uint8_t i = 0; i < 15; ++i) stops.push_back({uint8_t(i * 17), {i, 255, 0, 200}});
    FillStyleRecord reflected = FillStyleRecord::Linear(fit, stops);
    reflected.spread = FillStyleRecord::kReflect;
    reflected.interpolation = FillStyleRecord::kLinearRGB;
    FillStyleRecord focal = FillStyleRecord::Focal(fit, stops, focalPoint);
    focal.spread = FillStyleRecord::kRepeat;
    LineStyleRecord mitred{90,
                           {9, 9, 9, 255},
                           LineStyleRecord::kSquareCap,
                           LineStyleRecord::kNoCap,
                           LineStyleRecord::kMiterJoin,
                           miterLimit};
    LineStyleRecord painted{
        60, {}, LineStyleRecord::kNoCap, LineStyleRecord::kRoundCap, LineStyleRecord::kBevelJoin};
    painted.FilledWith(focal);
    LineStyleRecord missing = painted;
    missing.FilledWith(FillStyleRecord::Bitmap(77, fit));
    missing.noClose = true;
    ShapeWriter shape(4);
    shape.FillStyles({focal, reflected, FillStyleRecord::Bitmap(11, fit)})
        .LineStyles({mitred, painted, missing})
        .Change(StyleChange().Fill0(1).Fill1(2).Line(1))
        .Rectangle(0, 0, 300, 300)
        .Change(StyleChange().Fill0(3).Line(2))
        .LineTo(500, 20)
        .LineTo(40, 300)
        .LineTo(0, 0)
        .Change(StyleChange().Line(3).Move(100, 100))
        .LineTo(600, 120)
        .LineTo(100, 100);
    ShapeWriter square;
    square.Rectangle(0, -8000, 8000, 0);
    Font2Fields font;
    font.glyphs = {square.Records()};
    FontLayout layout;
    layout.ascent = 16000;
    layout.advances = {12000};
    font.layout = layout;
    TextStyle style;
    style.font = 5;
    style.height = 200;
    style.color = Rgba{1, 2, 3, 255};
    StaticTextWriter text(true);
    text.Style(style).Glyphs({{0, 100}, {0, 0}});
    BitWriter oversized; // 255 filters said, a convolution of 255 x 255 begun
    oversized.UI8(255).UI8(5).UI8(255).UI8(255).UI32(0);
    Placement3 shadowed{PlaceCharacter(1, 1)};
    shadowed.filters = BlurAndShadowFilters();
    shadowed.blendMode = 14;
    Placement3 hostile{PlaceCharacter(3, 6, 1, 1), "Cls"};
    hostile.filters = oversized.Data();
    hostile.blendMode = 2;
    hostile.visible = 0;
    SwfWriter movie(32, 32, 12);
    movie.JPEGTables({})
        .Tag(kDefineBits, DefineBitsBody(10, EncodeJpeg(photo)))
        .Tag(kDefineBitsJPEG4, DefineBitsJPEG4Body(11, EncodeJpeg(photo), Deflate({1, 2, 3})))
        .Tag(ShapeWriter::TagCode(4), shape.TagBody(1, {0, 600, 0, 600}))
        .Tag(kDefineFont3, DefineFont2(5, font))
        .Tag(text.TagCode(), text.TagBody(6, {0, 600, -400, 0}))
        .Tag(kPlaceObject3, PlaceObject3(shadowed))
        .Tag(kPlaceObject3, PlaceObject3(hostile))
        .ShowFrame()
        .End();
    return movie.Finish();
}

TEST(Robustness, HostileAndTruncatedFlash8TagsRender) {
    // Focal points of 1, -1 and beyond, miter limits of 0 and the largest: drawn.
    for (int16_t focal : {int16_t(0x0100), int16_t(-0x0100), int16_t(0x7FFF), int16_t(-0x8000)})
        for (uint16_t miter : {uint16_t(0), uint16_t(0xFFFF)}) {
            shapetest::Rendered frame(EveryFlash8Tag(focal, miter), 32, 32);
            ASSERT_TRUE(frame.loaded);
            EXPECT_GT(frame.Pixel(5, 5)[3], 0) << focal << " " << miter;
        }
    // Every truncation, the header saying the truncated length: tags and records run past
    // the end of the image.
    const std::vector<uint8_t> original = EveryFlash8Tag(0x0100, 0);
    for (size_t length = 21; length < original.size(); ++length) {
        std::vector<uint8_t> bytes(original.begin(), original.begin() + ptrdiff_t(length));
        for (int i = 0; i < 4; ++i) bytes[4 + i] = uint8_t(length >> (8 * i));
        shapetest::Rendered frame(bytes, 32, 32);
    }
    std::mt19937 random(8);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = original;
        for (int i = 0, changes = 1 + int(random() % 8); i < changes; ++i) {
            const size_t at = 21 + random() % (bytes.size() - 21);
            bytes[at] = uint8_t(random());
        }
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
