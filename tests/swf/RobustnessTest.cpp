// Truncated and garbage movies must end parsing in an orderly way without reading
// outside the image; run under the sanitizers, any stray read is a failure.
#include "MovieTestSupport.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class Character : public UT::FObject {
public:
    Character(UT::FlashScript* owner, uint32_t id) : FObject(owner) { this->id = id; }
    const char* GetTypeName() const override { return "Test"; }
};

std::vector<uint8_t> SampleMovie() {
    swftest::SwfWriter movie(550, 400, 24.0);
    movie.SetBackgroundColor(10, 20, 30)
        .JPEGTables({0xFF, 0xD8, 0xFF, 0xD9})
        .NameCharacter(1, "first")
        .Tag(12, std::vector<uint8_t>(80, 0x55)) // long form
        .LongTag(2, {1, 0, 0x7F})
        .ShowFrame()
        .FreeCharacter(1)
        .Tag(26, {0x06, 1, 0, 1, 0, 0x00})
        .ShowFrame()
        .End();
    return movie.Finish();
}

// The bytes with a header that claims exactly their length.
std::vector<uint8_t> WithOwnLength(const std::vector<uint8_t>& bytes) {
    return WithHeaderLength(bytes, uint32_t(bytes.size()));
}

// Parses, runs the tags, rewinds and runs them again; the bytes must be refused or run.
void Exercise(const std::vector<uint8_t>& bytes) {
    UT::FlashScript movie;
    if (!ParseBytes(movie, bytes)) {
        movie.RunTags();
        return;
    }
    movie.DefineCharacter(new Character(&movie, 1));
    movie.RunTags();
    movie.Rewind();
    movie.DefineCharacter(new Character(&movie, 1));
    movie.RunTags();
    EXPECT_EQ(movie.StateDepth(), 0u);
}

} // namespace

TEST(Robustness, EveryPrefixOfAValidMovie) {
    const std::vector<uint8_t> movie = SampleMovie();
    for (size_t size = 0; size <= movie.size(); ++size) {
        const std::vector<uint8_t> prefix(movie.begin(), movie.begin() + ptrdiff_t(size));
        UT::FlashScript refused;
        // The header still names the full length, so only the whole movie is accepted.
        EXPECT_EQ(ParseBytes(refused, prefix), size == movie.size()) << size;
        Exercise(prefix);
        Exercise(WithOwnLength(prefix)); // accepted from 21 bytes on, then cut short anywhere
    }
}

TEST(Robustness, RandomBytesAfterAValidHeader) {
    swftest::SwfWriter header(100, 100, 12);
    const std::vector<uint8_t> start = header.Finish();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::vector<uint8_t> bytes = start;
        const size_t extra = 8 + random() % 400;
        for (size_t i = 0; i < extra; ++i) bytes.push_back(uint8_t(random()));
        const std::vector<uint8_t> movie = WithOwnLength(bytes);
        UT::FlashScript check;
        ASSERT_TRUE(ParseBytes(check, movie)) << seed;
        Exercise(movie);
    }
}

TEST(Robustness, MutatedMovies) {
    const std::vector<uint8_t> valid = SampleMovie();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        std::vector<uint8_t> bytes = valid;
        for (int flips = 1 + random() % 6; flips > 0; --flips)
            bytes[8 + random() % (bytes.size() - 8)] ^= uint8_t(1u << (random() % 8));
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
            switch (random() % 10) {
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
            case 8:
                reader.ReadTagHeader();
                break;
            default:
                reader.ReadSI16();
                break;
            }
            ASSERT_LE(reader.Position(), bytes.size());
        }
        for (int i = 0; i < 7; ++i) reader.ReadUI32();
        EXPECT_TRUE(reader.Exhausted());
        EXPECT_EQ(reader.Position(), bytes.size());
    }
}
