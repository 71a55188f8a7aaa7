// Hostile input for the movie model: the fixtures below and the corpus, truncated, mutated,
// seeked and drawn; each draw must leave the reader and the graphics context balanced.
#include "MovieTestSupport.h"
#include "support/SampleMovies.h"
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

// The frame the movie is on, drawn into a new canvas the size of its stage.
std::vector<uint8_t> Picture(UT::FlashScript& movie) {
    const RectF stage = movie.FrameRect();
    Canvas canvas(std::clamp(int(stage.xmax - stage.xmin), 1, 1024),
                  std::clamp(int(stage.ymax - stage.ymin), 1, 1024));
    movie.RenderDisplayList(canvas.context);
    return {canvas.target->pixels, canvas.target->pixels + canvas.target->ByteCount()};
}

// Seeks forwards and back, drawing each frame; returns whether anything was drawn.  With
// `fresh`, each frame must also look as it does in a movie that was seeked nowhere else.
bool Exercise(const std::vector<uint8_t>& bytes, int32_t frames = 4, bool fresh = false) {
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
        EXPECT_EQ(canvas.context.LayerDepth(), 0);
        EXPECT_EQ(UT::NestingGuard::Depth(), 0);
        if (fresh) {
            UT::FlashScript first;
            ParseBytes(first, bytes);
            first.GotoFrame(frame);
            EXPECT_EQ(Picture(movie), Picture(first)) << "frame " << frame;
        }
        if (::testing::Test::HasFailure()) return false;
    }
    return !canvas.AllClear();
}

struct Fixture {
    const char* name;
    std::vector<uint8_t> bytes;
    bool draws;
    size_t prefixStep = 1; // every prefix, or every so many
    int rounds = 400;      // of mutation
};

std::vector<Fixture> Fixtures() {
    std::vector<Fixture> fixtures = {{"tags", TagSample(), false},
                                     {"text and sprites", TextSpriteSample(), true},
                                     {"every fill", EveryFill(), true},
                                     {"effects", EffectsSample(), true, 29, 60},
                                     {"html text",
                                      HtmlTextSample("<p align='right'><b>a <font face=Serif "
                                                     "size=+4 color=#FF0000>a&amp;\xC3\xA9</b>"
                                                     "&#233;</font><br><u>a a a a</p><li>a"),
                                      true}};
    // Focal points of 1, -1 and beyond; miter limits of 0 and the largest.
    for (int16_t focal : {int16_t(0x0100), int16_t(-0x0100), int16_t(0x7FFF), int16_t(-0x8000)})
        fixtures.push_back({"flash 8", EveryFlash8Tag(focal, focal < 0 ? 0xFFFF : 0), true});
    for (int16_t focal : {int16_t(0x0100), int16_t(0x7FFF)})
        fixtures.push_back({"morphs", EveryMorph(focal), true});
    return fixtures;
}

// One test per fixture, so that they run side by side and each has its own time limit.
constexpr size_t kFixtureCount = 11;
class FixtureRobustness : public testing::TestWithParam<size_t> {};

TEST_P(FixtureRobustness, DrawsAndSurvivesTruncationAndMutation) {
    const std::vector<Fixture> fixtures = Fixtures();
    ASSERT_EQ(fixtures.size(), kFixtureCount);
    const Fixture& fixture = fixtures[GetParam()];
    SCOPED_TRACE(fixture.name);
    const std::vector<uint8_t>& original = fixture.bytes;
    EXPECT_EQ(Exercise(original), fixture.draws);
    // Every prefix: refused while the header names the full length, then accepted with
    // a header naming its own, so that tags and records run past the end of the image.
    for (size_t size = 0; size < original.size(); size += fixture.prefixStep) {
        const std::vector<uint8_t> prefix(original.begin(), original.begin() + ptrdiff_t(size));
        UT::FlashScript refused;
        ASSERT_FALSE(ParseBytes(refused, prefix)) << size;
        Exercise(WithHeaderLength(prefix, uint32_t(size)), 4, true);
    }
    // Flipped bits and random bytes after the header, sometimes cut short too.
    std::mt19937 random(7);
    for (int round = 0; round < fixture.rounds; ++round) {
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

INSTANTIATE_TEST_SUITE_P(Robustness, FixtureRobustness, testing::Range<size_t>(0, kFixtureCount));

// Hostile markup draws a clean picture (the border at least) without blowing up, in embedded
// and in device fonts: unclosed and misnested tags, deep nesting, valueless attributes, sizes
// of 0 and 10,000, invalid UTF-8, entities without their semicolon, and a long field.
TEST(Robustness, HostileHtmlMarkupDraws) {
    std::string nested, closes, wide;
    for (int i = 0; i < 10000; ++i) nested += "<font size=\"+1\" color=\"#00FF00\">a";
    for (int i = 0; i < 10000; ++i) closes += "</b></font></p>a</li>";
    for (int i = 0; i < 20000; ++i) wide += "a a&amp; ";
    const std::string markups[] = {
        "<p align=\"center\"><b><i>a</p></b>a</i><font",
        nested,
        "<b>" + closes,
        "<font face size color>a</font><p align>a<textformat leftmargin indent=-99999 "
        "tabstops=\"1,2\" leading=1e30>a",
        "<font size=\"0\">a a</font><font size=\"10000\">a a</font><font size=\"-999\">a",
        "\xC3\x28 \xE2\x82 \xF0\x28\x8C\xBC \xFF\xFE \xED\xA0\x80 a\xC3",
        "&amp &#; &#x; &#99999999; &#0; &nbsp&lt &unknown; &&&a;;<",
        "<<<>>><a href=\"x>a</a><!-- a --><?x a?>" + std::string(1, '\0') + "a",
        wide,
    };
    for (const std::string& markup : markups)
        for (const bool device : {false, true}) {
            SCOPED_TRACE(markup.substr(0, 60) + (device ? " (device fonts)" : ""));
            EXPECT_TRUE(Exercise(HtmlTextSample(markup, device), 1));
        }
}

std::filesystem::path CorpusDirectory() {
    if (const char* dir = std::getenv("SWF_CORPUS_DIR")) return dir;
    return std::filesystem::path(SWF_TESTS_DIR) / "../../shared/corpus";
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
