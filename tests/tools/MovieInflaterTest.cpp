// Compressed movies made here with zlib's compress2 from movies of the SWF writer.
#include "tools/swfframes/MovieInflater.h"
#include "ToolRunner.h"
#include "support/SwfWriter.h"
#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieSource.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

using tooltest::TempPath;

namespace {

std::vector<uint8_t> PlainMovie() {
    swftest::SwfWriter movie(320, 240, 24);
    movie.SetBackgroundColor(1, 2, 3);
    for (int i = 0; i < 5; ++i) movie.ShowFrame();
    movie.End();
    return movie.Finish();
}

// The same movie as "CWS": header with the uncompressed length, then the rest deflated.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& plain) {
    uLongf packedSize = compressBound(uLong(plain.size() - 8));
    std::vector<uint8_t> packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, plain.data() + 8, uLong(plain.size() - 8), 9),
              Z_OK);
    std::vector<uint8_t> movie(8 + packedSize);
    std::copy_n(plain.data(), 8, movie.data());
    std::copy_n(packed.data(), packedSize, movie.data() + 8);
    movie[0] = 'C';
    return movie;
}

std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The message of the HostError that InflateMovie throws, or "" when it succeeds.
std::string InflateError(const std::vector<uint8_t>& movie, ExitCode expectedCode) {
    const std::string in = Write("bad_in.swf", movie), out = TempPath("bad_out.swf");
    std::filesystem::remove(out);
    try {
        InflateMovie(in, out);
    } catch (const HostError& error) {
        EXPECT_EQ(error.Code(), expectedCode);
        EXPECT_FALSE(std::filesystem::exists(out)) << "partial output left behind";
        return error.what();
    }
    return "";
}

} // namespace

TEST(MovieInflater, InflatesToTheUncompressedMovie) {
    const std::vector<uint8_t> plain = PlainMovie();
    const std::string in = Write("compressed.swf", Compress(plain));
    const std::string out = TempPath("inflated.swf");
    EXPECT_EQ(ReadSignature(in), MovieSignature::kCompressed);
    InflateMovie(in, out);
    EXPECT_EQ(Read(out), plain);
    EXPECT_EQ(ReadSignature(out), MovieSignature::kUncompressed);
}

TEST(MovieInflater, InflatesAMovieLargerThanOneChunk) {
    swftest::SwfWriter movie(100, 100, 12);
    for (int i = 0; i < 100000; ++i) movie.ShowFrame(); // 200 KB of tags
    movie.FrameCount(65535).End();
    const std::vector<uint8_t> plain = movie.Finish();
    const std::string out = TempPath("large.swf");
    InflateMovie(Write("large_cws.swf", Compress(plain)), out);
    EXPECT_EQ(Read(out), plain);
}

TEST(MovieInflater, RefusesTruncatedData) {
    std::vector<uint8_t> movie = Compress(PlainMovie());
    movie.erase(movie.end() - 6, movie.end());
    EXPECT_NE(InflateError(movie, kExitMovieFailed).find("truncated"), std::string::npos);
}

TEST(MovieInflater, RefusesGarbageAfterTheHeader) {
    std::vector<uint8_t> movie = {'C', 'W', 'S', 6, 100, 0, 0, 0};
    for (int i = 0; i < 64; ++i) movie.push_back(uint8_t(i * 37 + 11));
    EXPECT_NE(InflateError(movie, kExitMovieFailed).find("damaged"), std::string::npos);
}

TEST(MovieInflater, CorrectsALengthThatDisagreesWithTheHeader) {
    const std::vector<uint8_t> plain = PlainMovie();
    const uint32_t size = uint32_t(plain.size());
    struct Case {
        const char* what;
        uint32_t declared;
    };
    for (const Case c : {Case{"one too many", size + 1}, Case{"one too few", size - 1},
                         Case{"below a header", 3}, Case{"the largest", UINT32_MAX}}) {
        std::vector<uint8_t> movie = Compress(plain);
        for (int i = 0; i < 4; ++i) movie[4 + i] = uint8_t(c.declared >> (8 * i));
        const std::string out = TempPath("corrected.swf");
        const MovieLength length = InflateMovie(Write("wrong_length.swf", movie), out);
        EXPECT_EQ(length.declared, c.declared) << c.what;
        EXPECT_EQ(length.actual, size) << c.what;
        EXPECT_EQ(Read(out), plain) << c.what;

        // The same wrong field in an uncompressed movie: the copy gets the real one.
        std::vector<uint8_t> wrong = plain;
        std::copy_n(movie.begin() + 4, 4, wrong.begin() + 4);
        const std::string in = Write("wrong_fws.swf", wrong);
        EXPECT_EQ(ReadMovieLength(in).declared, c.declared) << c.what;
        EXPECT_TRUE(LengthIsRepairable(ReadMovieLength(in))) << c.what;
        WriteCorrectedMovie(in, out);
        EXPECT_EQ(Read(out), plain) << c.what;
    }
    EXPECT_FALSE(LengthIsRepairable(ReadMovieLength(Write("short.swf", {'F', 'W', 'S', 6}))));
}

TEST(MovieInflater, RefusesMoviesThatAreNotCompressed) {
    EXPECT_NE(InflateError(PlainMovie(), kExitMovieFailed).find("not a compressed"),
              std::string::npos);
    EXPECT_NE(InflateError({'C', 'W'}, kExitMovieFailed).find("not a compressed"),
              std::string::npos);
    EXPECT_EQ(ReadSignature(TempPath("missing.swf")), MovieSignature::kOther);
}

TEST(MovieSource, HandsThePluginAnInflatedCopyAndRemovesIt) {
    const std::vector<uint8_t> plain = PlainMovie();
    const std::string compressed = Write("source_cws.swf", Compress(plain));
    std::string temporary;
    {
        const MovieSource source(compressed, false);
        EXPECT_TRUE(source.WasCompressed());
        temporary = source.PluginPath();
        EXPECT_NE(temporary, compressed);
        EXPECT_EQ(Read(temporary), plain);
    }
    EXPECT_FALSE(std::filesystem::exists(temporary));

    const std::string uncompressed = Write("source_fws.swf", plain);
    const MovieSource source(uncompressed, false);
    EXPECT_FALSE(source.WasCompressed());
    EXPECT_EQ(source.PluginPath(), uncompressed);

    std::vector<uint8_t> longer = plain;
    ++longer[4];
    const MovieSource corrected(Write("source_long.swf", longer), false);
    EXPECT_FALSE(corrected.WasCompressed());
    EXPECT_TRUE(corrected.Length().Wrong());
    EXPECT_EQ(Read(corrected.PluginPath()), plain);
    EXPECT_THROW(MovieSource(TempPath("missing.swf"), false), HostError);
}
