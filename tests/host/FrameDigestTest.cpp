// Every frame of the demo movie, read through the loaded library, reduced to a 64-bit
// digest and compared with the digests below: every build draws the same pixels bit for bit,
// and a change to any drawn pixel shows here.  SWF_WRITE_FRAME_DIGESTS=FILE writes them
// (one per line) so another build can compare against the file (SWF_EXPECT_FRAME_DIGESTS).
//
// So that a failure shows pictures, each frame that matches its digest is kept in the
// build folder (DEMO_FRAMES_DIR/kept, one zlib-packed file per digest, or the folder that
// SWF_DEMO_FRAMES_DIR names); a frame that differs is written to DEMO_FRAMES_DIR/failed
// as frame-NN-actual.png and, when its expected frame was kept by an earlier passing run,
// frame-NN-expected.png and frame-NN-difference.png (black where equal, else each
// channel's difference d as 63 + 4d, so that a step of one shows).
#include "HostFixture.h"
#include "examples/DemoMovie.h"
#include "support/PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <zlib.h>

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

namespace fs = std::filesystem;

// FNV-1a over a frame's picture, top row first.
uint64_t Digest(const std::vector<uint8_t>& pixels) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (uint8_t byte : pixels) hash = (hash ^ byte) * 0x100000001B3ull;
    return hash;
}

// Where the frame of this digest is kept.
fs::path KeptFrame(uint64_t digest) {
    const char* dir = std::getenv("SWF_DEMO_FRAMES_DIR");
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.bgra.z", static_cast<unsigned long long>(digest));
    return (dir ? fs::path(dir) : fs::path(DEMO_FRAMES_DIR) / "kept") / name;
}

// Keeps a frame that matched its digest, unless it is kept already.
void Keep(const std::vector<uint8_t>& pixels, uint64_t digest) {
    std::error_code error;
    if (fs::exists(KeptFrame(digest), error)) return;
    fs::create_directories(KeptFrame(digest).parent_path(), error);
    uLongf size = compressBound(uLong(pixels.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, pixels.data(), uLong(pixels.size()), 1) != Z_OK) return;
    // Whole or not at all, whatever runs at the same time.
    const fs::path part = KeptFrame(digest).string() + ".part";
    std::ofstream(part, std::ios::binary)
        .write(reinterpret_cast<const char*>(packed.data()), std::streamsize(size));
    fs::rename(part, KeptFrame(digest), error);
}

// The kept frame of this digest and size, or nothing.
std::vector<uint8_t> Kept(uint64_t digest, size_t bytes) {
    std::ifstream in(KeptFrame(digest), std::ios::binary);
    const std::vector<uint8_t> packed{std::istreambuf_iterator<char>(in), {}};
    std::vector<uint8_t> pixels(bytes);
    uLongf size = uLongf(bytes);
    if (packed.empty() ||
        uncompress(pixels.data(), &size, packed.data(), uLong(packed.size())) != Z_OK ||
        size != bytes || Digest(pixels) != digest)
        return {};
    return pixels;
}

// Writes the frame that differs, and the expected one and their difference when the
// expected one was kept; returns what it wrote.
std::string WritePictures(int64_t frame, const std::vector<uint8_t>& actual, uint64_t expected,
                          int width, int height) {
    const fs::path dir = fs::path(DEMO_FRAMES_DIR) / "failed";
    std::error_code error;
    fs::create_directories(dir, error);
    char name[16];
    std::snprintf(name, sizeof name, "frame-%02d", int(frame));
    const std::string stem = (dir / name).string();
    const auto write = [&](const char* what, std::vector<uint8_t> bgra) {
        for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
        return swftest::WritePng(stem + what, width, height, bgra);
    };
    if (!write("-actual.png", actual)) return "nothing: cannot write " + stem + "-actual.png";
    const std::vector<uint8_t> kept = Kept(expected, actual.size());
    if (kept.empty())
        return stem + "-actual.png; the expected frame was never kept here (pass once, or name a "
                      "passing build's kept frames in SWF_DEMO_FRAMES_DIR)";
    std::vector<uint8_t> difference(actual.size());
    for (size_t i = 0; i < actual.size(); i += 4) {
        const auto off = [&](size_t c) { return std::abs(int(actual[i + c]) - int(kept[i + c])); };
        for (size_t c = 0; c < 3; ++c) { // an alpha difference shows in every colour
            const int most = std::max(off(c), off(3));
            difference[i + c] = uint8_t(most ? std::min(255, 63 + 4 * most) : 0);
        }
        difference[i + 3] = 255;
    }
    write("-expected.png", kept);
    write("-difference.png", difference);
    return stem + "-{expected,actual,difference}.png";
}

// The digest of every frame.  With `check`, each frame is compared with its digest above
// as it is read: kept when it matches, its pictures written when it does not.
std::vector<uint64_t> ReadAllFrames(const std::u16string& path, bool check) {
    hosttest::OpenMovie movie(path);
    std::vector<uint64_t> digests;
    int64_t count = 0;
    if (!movie.video) return digests;
    const BITMAPINFOHEADER format = movie.Format(); // the stream learns its frame count here
    movie.video->GetFrameCount(&count);
    for (int64_t frame = 0; frame < count; ++frame) {
        const std::vector<uint8_t> pixels = movie.Frame(frame);
        digests.push_back(Digest(pixels));
        if (!check || frame >= int64_t(std::size(kDemoDigests))) continue;
        if (digests.back() == kDemoDigests[frame])
            Keep(pixels, digests.back());
        else
            ADD_FAILURE() << "frame " << frame << " differs; written: "
                          << WritePictures(frame, pixels, kDemoDigests[frame], int(format.biWidth),
                                           int(format.biHeight));
    }
    return digests;
}

} // namespace

TEST(FrameDigests, DemoFramesAreTheSameOnEveryBuild) {
    const std::u16string movie = hosttest::WriteMovie("digest-demo.swf", demo::BuildDemoMovie());
    std::error_code error;
    fs::remove_all(fs::path(DEMO_FRAMES_DIR) / "failed", error);
    const std::vector<uint64_t> digests = ReadAllFrames(movie, true);
    EXPECT_EQ(digests, std::vector<uint64_t>(std::begin(kDemoDigests), std::end(kDemoDigests)));
    EXPECT_EQ(ReadAllFrames(movie, false), digests); // a second reader draws the same
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
