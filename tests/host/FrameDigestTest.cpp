// Every frame of the demo movie, read through the loaded library, reduced to a 64-bit
// digest and compared with the digests below: every build draws the same pixels bit for bit,
// and a change to any drawn pixel shows here.  SWF_WRITE_FRAME_DIGESTS=FILE writes them
// (one per line) so another build can compare against the file (SWF_EXPECT_FRAME_DIGESTS).
#include "HostFixture.h"
#include "examples/DemoMovie.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

const uint64_t kDemoDigests[] = {
    0xa4220ba483fc6ea9ull, 0xee3eab93dc94c8e4ull, 0x35a45896bb9f1197ull, 0x786278c30043107full,
    0x0d6c4e15450622e6ull, 0x07b4985b6ba687e3ull, 0xac2001a09b245464ull, 0xfeda45f46d24893cull,
    0xbed20607c3bb7a03ull, 0x8c5be552a4cba70bull, 0xd2e5dea741c94630ull, 0xf1767388b63cd909ull,
    0x386164edaa2c207eull, 0xecc2390787b92789ull, 0xfa6481c72bfa3279ull, 0x7873441614ce166full,
    0x434360d035719fefull, 0x9627aa55775f8304ull, 0x3e33096177b15441ull, 0x0cb290cbfb063ea4ull,
    0x740a1c026889a911ull, 0x7289cb8f0cfb997full, 0x1e656f4c067cb8b7ull, 0xa03fc5b310135c40ull,
    0xac75f7d301f7afd0ull, 0x3b1eb031b4c91531ull, 0x76f8c43d33711dc0ull, 0x3fb42913c712461aull,
    0x0bdae439d1a302d3ull, 0x2e90fb5d93fdaa68ull, 0xaf22ac721e0de63dull, 0xb037c24889f450e1ull,
    0x757aaa2c50d72919ull, 0xbe217e96451ee328ull, 0xf575b07ded1947e0ull, 0x5da3e42e1d6126efull,
    0x2834b9ab25de79edull, 0x88deafbeb9a6601eull, 0xfaaf47d09443d604ull, 0x77ced3066b42ba9bull,
    0xab027cfd38270cc1ull, 0xd2865b5278e83956ull, 0x39392a92f50c48beull, 0x210fe0c102e6069full,
    0x1aa5c32a3b8632f3ull, 0x5568d588b59e1831ull, 0x6ba2d17552bdfd78ull, 0x66f9f94f60b1bf7cull,
    0x302fcf77357df3b8ull, 0xe116ebbe3452c440ull, 0x447c6c8744b3baddull, 0xc8911c64a885ba94ull,
    0x96ec489306534d9bull, 0x35fb8792de768e33ull, 0x8ec7928e3501fb16ull, 0x68412b1eb870a56aull,
    0xb2f93662fb0c53bdull, 0x4598009e115a2a36ull, 0x537e0be915492b6eull, 0x85cbf457187c684dull,
    0xdb8a8b208a2d1dedull, 0x8dd48fc67dbf13d2ull, 0x2a7d63509dfade1cull, 0xdc1ca9b6de35fc06ull,
    0xc9318a1020290185ull, 0x4f9a630c65d07fc2ull, 0x8c8557a8eb2f3af9ull, 0x0bf80cd67e8014c9ull,
    0x924142c18550359bull, 0x1c7be84b5e4d5ecbull, 0x58267e217c083218ull, 0x62b3e91279a1a134ull,
};

// FNV-1a over each frame's picture, top row first.
std::vector<uint64_t> ReadAllFrames(const std::u16string& path) {
    hosttest::OpenMovie movie(path);
    std::vector<uint64_t> digests;
    int64_t count = 0;
    if (!movie.video) return digests;
    movie.Format(); // the stream learns its frame count with its format
    movie.video->GetFrameCount(&count);
    for (int64_t frame = 0; frame < count; ++frame) {
        uint64_t hash = 0xCBF29CE484222325ull;
        for (uint8_t byte : movie.Frame(frame)) hash = (hash ^ byte) * 0x100000001B3ull;
        digests.push_back(hash);
    }
    return digests;
}

} // namespace

TEST(FrameDigests, DemoFramesAreTheSameOnEveryBuild) {
    const std::u16string movie = hosttest::WriteMovie("digest-demo.swf", demo::BuildDemoMovie());
    const std::vector<uint64_t> digests = ReadAllFrames(movie);
    EXPECT_EQ(digests, std::vector<uint64_t>(std::begin(kDemoDigests), std::end(kDemoDigests)));
    EXPECT_EQ(ReadAllFrames(movie), digests); // a second reader draws the same
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
        EXPECT_EQ(digests, expected);
    }
}
