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
    0xc51b5b429c97b095ull, 0x8192b8e705c331f4ull, 0x06632ecf7f0de717ull, 0x36daf4ab7f060dbdull,
    0x5af8f115acf60282ull, 0x055c609723be679dull, 0x72640b9ad21467f3ull, 0x7b9eddbe1358008cull,
    0xa31006a8dca5e4efull, 0x49dce0fdee1339bfull, 0xa4aace293bd7cfaeull, 0x1ed6be51a603062dull,
    0xadee3cf1bc5bb452ull, 0x73b2e0b44742e9f4ull, 0xd23c4e4134eba9c9ull, 0x5559dc4c2fa74659ull,
    0x3cce1c01c3e17b3bull, 0xab7dc039736b444cull, 0x268d95aa4d72c53cull, 0x473e677081e5fe9eull,
    0x42e5d8cc9e4156c5ull, 0x8f93c955193f60feull, 0xb09e101f772fb51full, 0x018431417f6ec083ull,
    0x25d4b96ab5398bccull, 0x87951b273bdf1631ull, 0xcd7745761e6eed64ull, 0xa807a02ed3d0405cull,
    0x8dac8da91f0e5fe1ull, 0x54d31e4addc65e69ull, 0x21bbd636e593eee1ull, 0xfdbf6e7b9ca503a0ull,
    0xac0d403895a64be9ull, 0xd2379ee892186c82ull, 0xfa99c59687aed3c2ull, 0x2a0da846c4118835ull,
    0x154ef3ef3fe577a9ull, 0xeb7b0edead856d77ull, 0x54ad08cf7d29c1aeull, 0xe74938b870e82663ull,
    0x8e2d02d9f1fa5630ull, 0x001a7370d758a5a6ull, 0x5ec4ba329304e7feull, 0x6ea5b4867ee52f2dull,
    0x15c92351ee0e6eccull, 0x84a8f40c7f0f2bd4ull, 0xadf28ad007b526d7ull, 0xf6eeeb74545654c3ull,
    0x1250c9d5ca358a44ull, 0x59a3ef9edb8aefc1ull, 0x30968c9a6c5d6d14ull, 0xe626ca00d03bb32aull,
    0x7288b27e70d4dbb9ull, 0x47385a05ef8d72f8ull, 0xe67059edde743a7dull, 0x2f714992a1b6fc6bull,
    0xee68e1db41db283full, 0xa23927a3fd95c3a7ull, 0x336f1d5d199bbc90ull, 0xc052607545c03ffdull,
    0xa2adb1e42fe06416ull, 0x95ad9489304ca4d6ull, 0x95198e0952afe0a0ull, 0x7e7a86ecfba4e4ebull,
    0x423d02222c41af5bull, 0xbbee03545be54301ull, 0x2c07123207a752b1ull, 0xd5e52bdd70696117ull,
    0x918c818116f1b075ull, 0xeea01ad579971748ull, 0x003bea5de10d35acull, 0x59e4fce8bc5a7b9eull,
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
