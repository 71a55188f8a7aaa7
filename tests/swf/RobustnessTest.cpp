// Hostile input for the whole movie model: every fixture below and every movie of the shared
// corpus, truncated, mutated, seeked frame by frame and drawn.  Run under the sanitizers,
// any stray read is a failure; here each draw must also leave the reader and the graphics
// context balanced.
#include "bridge/BoxCharacter.h"

#include "MovieTestSupport.h"
#include "support/BitmapWriter.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"
#include "swf/NestingGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <zlib.h>

using namespace swftest;

namespace {

// Tags the model skips or keeps aside, and a placement of a character it frees first.
std::vector<uint8_t> TagSample() {
    SwfWriter movie(64, 48, 24.0);
    movie.SetBackgroundColor(10, 20, 30)
        .JPEGTables({0xFF, 0xD8, 0xFF, 0xD9})
        .NameCharacter(1, "first")
        .Tag(12, std::vector<uint8_t>(80, 0x55)) // long form
        .LongTag(2, {1, 0, 0x7F})
        .ShowFrame()
        .FreeCharacter(1)
        .Tag(kPlaceObject2, {0x06, 1, 0, 1, 0, 0x00})
        .ShowFrame()
        .End();
    return movie.Finish();
}

Placement Place(uint16_t depth, uint16_t character) {
    return PlaceCharacter(depth, character, depth * 3, depth);
}

// Fonts with wide and narrow tables, static and edit text, a sprite that places itself, a
// button that holds itself, and a sprite as a clipping layer.
std::vector<uint8_t> TextSpriteSample() {
    ShapeWriter glyph;
    glyph.MoveTo(0, -400).LineBy(400, 0).CurveBy(100, 200, -100, 200).LineBy(-400, 0);
    Font2Fields wide;
    wide.wideOffsets = wide.wideCodes = true;
    wide.glyphs = {glyph.Records(), glyph.Records()};
    wide.codes = {'a', 0x00E9};
    wide.layout = FontLayout{800, 200, 0, {600, -200}, true, {{'a', 0xE9, -50}}};
    StaticTextWriter text(true);
    text.Style({.font = 1, .height = 700, .color = Rgba{255, 0, 0, 200}, .x = 40, .y = 400})
        .Glyphs({{0, 300}, {1, -100}, {0, 0}})
        .Style({.font = 2, .height = 300, .color = {}, .x = {}, .y = 800})
        .Glyphs({{1, 200}});
    EditTextFields edit;
    edit.bounds = {0, 1000, 0, 600};
    edit.font = 1;
    edit.height = 400;
    edit.layout = EditLayout{2, 20, 20, 40, 0};
    edit.text = "a\xE9z";
    TagStream inner;
    inner.Tag(kPlaceObject2, PlaceObject2(Place(1, 3)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Place(2, 4)))
        .Tag(kPlaceObject2, PlaceObject2(Place(3, 10))) // itself
        .ShowFrame()
        .End();
    ButtonRecordFields up;
    up.character = 10;
    up.cxform.hasMult = true;
    up.cxform.alphaMult = 100;
    ButtonRecordFields self = up;
    self.character = 11;
    self.depth = 2;
    Placement clip = Place(1, 3);
    clip.clipDepth = 4;
    SwfWriter movie(64, 48, 12);
    movie.Tag(kDefineFont2, DefineFont2(1, wide))
        .Tag(kDefineFont, DefineFont(2, {glyph.Records()}))
        .Tag(kDefineFontInfo, DefineFontInfo(2, "x", false, {'a'}))
        .Tag(kDefineText2, text.TagBody(3, {0, 1200, 0, 800}))
        .Tag(kDefineEditText, DefineEditText(4, edit))
        .Tag(kDefineSprite, DefineSprite(10, inner))
        .Tag(kDefineButton2, DefineButton2(11, {up, self}))
        .Tag(kDefineButtonCxform, DefineButtonCxform(11, CxformRecord{}))
        .Tag(kPlaceObject2, PlaceObject2(clip))
        .Tag(kPlaceObject2, PlaceObject2(Place(2, 10)))
        .Tag(kPlaceObject2, PlaceObject2(Place(3, 11)))
        .ShowFrame()
        .Tag(kPlaceObject2, PlaceObject2(Place(5, 4)))
        .ShowFrame()
        .ShowFrame()
        .End();
    return movie.Finish();
}

MatrixRecord Fit(int32_t rotate = 0) {
    return {.hasScale = true,
            .scaleX = 20 << 16,
            .scaleY = 20 << 16,
            .hasRotate = rotate != 0,
            .rotateSkew0 = rotate};
}

// Every kind of fill: solid, both gradients and each bitmap tag, with new styles midway.
std::vector<uint8_t> EveryFill() {
    RawImage photo{8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 99)};
    const SplitJpeg split = EncodeAbbreviatedJpeg(photo);
    const std::vector<uint8_t> argb(8 * 8 * 4, 0x80);
    const MatrixRecord fit = Fit(3000);
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
    SwfWriter movie(64, 48, 12);
    movie.JPEGTables(split.tables)
        .Tag(kDefineBits, DefineBitsBody(10, split.image))
        .Tag(kDefineBitsJPEG3, DefineBitsJPEG3Body(11, EncodeJpeg(photo), Deflate({1, 2, 3})))
        .Tag(kDefineBitsLossless2, DefineBitsLosslessBody(12, 5, 8, 8, argb))
        .Tag(kDefineBitsLossless, DefineBitsLosslessBody(13, 3, 8, 8, argb, 20))
        .Tag(kDefineShape3, shape.TagBody(1, {0, 600, 0, 600}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1)))
        .ShowFrame()
        .End();
    return movie.Finish();
}

// Every tag of Flash 8 and later that draws, with the hostile values given: 15-stop focal
// and reflected gradients, fill-styled and mitred lines, a DefineFont3 text, a
// DefineBitsJPEG4 fill, an empty JPEGTables, and filter lists claiming more than they hold.
std::vector<uint8_t> EveryFlash8Tag(int16_t focalPoint, uint16_t miterLimit) {
    RawImage photo{8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 99)};
    const MatrixRecord fit = Fit();
    std::vector<GradientStop> stops;
    for (uint8_t i = 0; i < 15; ++i) stops.push_back({uint8_t(i * 17), {i, 255, 0, 200}});
    FillStyleRecord reflected = FillStyleRecord::Linear(fit, stops);
    reflected.spread = FillStyleRecord::kReflect;
    reflected.interpolation = FillStyleRecord::kLinearRGB;
    FillStyleRecord focal = FillStyleRecord::Focal(fit, stops, focalPoint);
    focal.spread = FillStyleRecord::kRepeat;
    using L = LineStyleRecord;
    const L mitred{90, {9, 9, 9, 255}, L::kSquareCap, L::kNoCap, L::kMiterJoin, miterLimit};
    L painted{60, {}, L::kNoCap, L::kRoundCap, L::kBevelJoin};
    painted.FilledWith(focal);
    L missing = painted;
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
    font.layout = FontLayout{16000, 0, 0, {12000}, true, {}};
    StaticTextWriter text(true);
    text.Style({.font = 5, .height = 200, .color = Rgba{1, 2, 3, 255}, .x = {}, .y = {}})
        .Glyphs({{0, 100}, {0, 0}});
    BitWriter oversized; // 255 filters said, a convolution of 255 x 255 begun
    oversized.UI8(255).UI8(5).UI8(255).UI8(255).UI32(0);
    Placement3 shadowed{PlaceCharacter(1, 1)};
    shadowed.filters = BlurAndShadowFilters();
    shadowed.blendMode = 14;
    Placement3 hostile{PlaceCharacter(3, 6, 1, 1), "Cls"};
    hostile.filters = oversized.Data();
    hostile.blendMode = 2;
    hostile.visible = 0;
    SwfWriter movie(64, 48, 12);
    movie.JPEGTables({})
        .Tag(kDefineBits, DefineBitsBody(10, EncodeJpeg(photo)))
        .Tag(kDefineBitsJPEG4, DefineBitsJPEG4Body(11, EncodeJpeg(photo), Deflate({1, 2, 3})))
        .Tag(kDefineShape4, shape.TagBody(1, {0, 600, 0, 600}))
        .Tag(kDefineFont3, DefineFont2(5, font))
        .Tag(text.TagCode(), text.TagBody(6, {0, 600, -400, 0}))
        .Tag(kPlaceObject3, PlaceObject3(shadowed))
        .Tag(kPlaceObject3, PlaceObject3(hostile))
        .ShowFrame()
        .End();
    return movie.Finish();
}

// Seeks forwards and back, drawing each frame; returns whether anything was drawn.
bool Exercise(const std::vector<uint8_t>& bytes, int32_t frames = 4) {
    UT::FlashScript movie;
    if (!ParseBytes(movie, bytes)) return false;
    const RectF stage = movie.FrameRect();
    Canvas canvas(std::clamp(int(stage.xmax - stage.xmin), 1, 1024),
                  std::clamp(int(stage.ymax - stage.ymin), 1, 1024));
    std::vector<int32_t> order;
    for (int32_t frame = 0; frame < frames; ++frame) order.push_back(frame);
    if (frames < 10) order.insert(order.end(), {1, 0, 2});
    for (int32_t frame : order) {
        movie.GotoFrame(frame);
        canvas.context.Reset();
        movie.RenderDisplayList(canvas.context);
        EXPECT_EQ(movie.StateDepth(), 0u);
        EXPECT_EQ(canvas.context.GetInteger(0), 1); // matrix stack depth
        EXPECT_EQ(canvas.context.GetInteger(5), 1); // colour transform stack depth
        EXPECT_EQ(canvas.context.PathDepth(), 0);
        EXPECT_EQ(UT::NestingGuard::Depth(), 0);
        if (::testing::Test::HasFailure()) return false;
    }
    return !canvas.AllClear();
}

struct Fixture {
    const char* name;
    std::vector<uint8_t> bytes;
    bool draws;
};

std::vector<Fixture> Fixtures() {
    std::vector<Fixture> fixtures = {{"tags", TagSample(), false},
                                     {"text and sprites", TextSpriteSample(), true},
                                     {"every fill", EveryFill(), true}};
    // Focal points of 1, -1 and beyond; miter limits of 0 and the largest.
    for (int16_t focal : {int16_t(0x0100), int16_t(-0x0100), int16_t(0x7FFF), int16_t(-0x8000)})
        fixtures.push_back({"flash 8", EveryFlash8Tag(focal, focal < 0 ? 0xFFFF : 0), true});
    return fixtures;
}

TEST(Robustness, FixturesDrawAndSurviveTruncationAndMutation) {
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name);
        const std::vector<uint8_t>& original = fixture.bytes;
        EXPECT_EQ(Exercise(original), fixture.draws);
        // Every prefix: refused while the header names the full length, then accepted with
        // a header naming its own, so that tags and records run past the end of the image.
        for (size_t size = 0; size < original.size(); ++size) {
            const std::vector<uint8_t> prefix(original.begin(), original.begin() + ptrdiff_t(size));
            UT::FlashScript refused;
            ASSERT_FALSE(ParseBytes(refused, prefix)) << size;
            Exercise(WithHeaderLength(prefix, uint32_t(size)));
        }
        // Flipped bits and random bytes after the header, sometimes cut short too.
        std::mt19937 random(7);
        for (int round = 0; round < 400; ++round) {
            std::vector<uint8_t> bytes = original;
            for (int i = 0, changes = 1 + int(random() % 6); i < changes; ++i) {
                const size_t at = 17 + random() % (bytes.size() - 17);
                bytes[at] =
                    random() % 3 ? uint8_t(bytes[at] ^ (1u << (random() % 8))) : uint8_t(random());
            }
            if (round % 10 == 0) {
                bytes.resize(bytes.size() - 1 - random() % 16);
                bytes = WithHeaderLength(bytes, uint32_t(bytes.size()));
            }
            Exercise(bytes);
            ASSERT_FALSE(HasFailure()) << round;
        }
    }
}

TEST(Robustness, RandomTagsAfterAValidHeader) {
    const std::vector<uint8_t> start = SwfWriter(100, 100, 12).Finish();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::vector<uint8_t> bytes = start;
        for (size_t i = 0, extra = 8 + random() % 400; i < extra; ++i)
            bytes.push_back(uint8_t(random()));
        bytes = WithHeaderLength(bytes, uint32_t(bytes.size()));
        UT::FlashScript check;
        ASSERT_TRUE(ParseBytes(check, bytes)) << seed;
        Exercise(bytes);
    }
}

TEST(Robustness, EveryReaderAtTheEndOfRandomData) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        std::vector<uint8_t> bytes(random() % 24);
        for (auto& byte : bytes) byte = uint8_t(random());
        ByteReader reader(bytes);
        for (int step = 0; step < 64; ++step) {
            switch (random() % 9) {
            case 0:
                reader.ReadUBits(random() % 33);
                break;
            case 1:
                reader.ReadSBits(random() % 33);
                break;
            case 2:
                reader.ReadUI32();
                break;
            case 3:
                reader.ReadString();
                break;
            case 4:
                reader.ReadRect();
                break;
            case 5:
                reader.ReadMatrix();
                break;
            case 6:
                reader.ReadCxform(random() % 2);
                break;
            case 7:
                reader.ReadColor(random() % 2);
                break;
            default:
                reader.ReadTagHeader();
                break;
            }
            ASSERT_LE(reader.Position(), bytes.size());
        }
        for (int i = 0; i < 7; ++i) reader.ReadUI32();
        EXPECT_TRUE(reader.Exhausted());
        EXPECT_EQ(reader.Position(), bytes.size());
    }
}

std::filesystem::path CorpusDirectory() {
    if (const char* dir = std::getenv("SWF_CORPUS_DIR")) return dir;
    return std::filesystem::path(__FILE__).parent_path() / "../../../shared/corpus";
}

// CWS bodies inflated up to the declared length (at most 64 MiB); others as read.
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

TEST(Robustness, EveryCorpusMovieDrawsEveryFrame) {
    const std::filesystem::path root = CorpusDirectory();
    if (!std::filesystem::exists(root)) GTEST_SKIP() << "no corpus at " << root;
    int movies = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.path().extension() != ".swf") continue;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        const std::vector<uint8_t> image = Uncompressed(file);
        UT::FlashScript movie;
        if (!ParseBytes(movie, image)) continue;
        ++movies;
        // Frame counts may lie: go a little past the declared count.
        Exercise(image, std::min<int32_t>(int32_t(movie.FrameCount()) + 2, 400));
    }
    EXPECT_GT(movies, 100);
}

} // namespace
