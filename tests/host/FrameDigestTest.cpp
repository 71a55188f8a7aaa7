// Every frame of the demo movie, read through the loaded library, reduced to a 64-bit
// digest.  Builds of the plug-in for other systems must give the same pixels bit for
// bit: one build writes its digests (SWF_WRITE_FRAME_DIGESTS=FILE), another compares
// against them (SWF_EXPECT_FRAME_DIGESTS=FILE).  Without either, the test checks that
// two reads of a frame agree.
#include "HostFixture.h"
#include "examples/DemoMovie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

// FNV-1a over the picture, top row first.
uint64_t Digest(const std::vector<uint8_t>& pixels) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : pixels) hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

std::vector<uint64_t> ReadAllFrames(const std::u16string& path) {
    hosttest::OpenMovie movie(path);
    std::vector<uint64_t> digests;
    int64_t count = 0;
    if (!movie.video) return digests;
    movie.Format(); // the stream learns its frame count with its format
    movie.video->GetFrameCount(&count);
    for (int64_t frame = 0; frame < count; ++frame) {
        const std::vector<uint8_t> pixels = movie.Frame(frame);
        if (pixels.empty()) break;
        digests.push_back(Digest(pixels));
    }
    return digests;
}

} // namespace

TEST(FrameDigests, DemoFramesAreTheSameOnEveryBuild) {
    const std::u16string movie = hosttest::WriteMovie("digest-demo.swf", demo::BuildDemoMovie());
    const std::vector<uint64_t> digests = ReadAllFrames(movie);
    ASSERT_EQ(digests.size(), size_t(demo::kFrames));

    if (const char* out = std::getenv("SWF_WRITE_FRAME_DIGESTS")) {
        std::ofstream file(out);
        for (uint64_t d : digests) file << std::hex << d << '\n';
        ASSERT_TRUE(file.good()) << out;
    }
    if (const char* in = std::getenv("SWF_EXPECT_FRAME_DIGESTS")) {
        std::ifstream file(in);
        ASSERT_TRUE(file.good()) << in;
        std::vector<uint64_t> expected;
        for (uint64_t d; file >> std::hex >> d;) expected.push_back(d);
        ASSERT_EQ(expected.size(), digests.size());
        for (size_t i = 0; i < digests.size(); ++i)
            EXPECT_EQ(digests[i], expected[i]) << "frame " << i;
    } else {
        EXPECT_EQ(ReadAllFrames(movie), digests); // rendering is deterministic
    }
}
