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
    0x262e1cd43354bce9ull, 0x0a2d1dfd308d361full, 0x00eeff141a9f4574ull, 0x12172674c56aed1aull,
    0xa5cffb3550b7b505ull, 0x42217808c433396bull, 0xdfef5763429b0111ull, 0x051ef34402d3ce8bull,
    0x1cd040f591cbe370ull, 0x1c3aa91d2e930819ull, 0xe9a6f488acb650b7ull, 0x5ab653dfddf5cd44ull,
    0xa36af948f20b051bull, 0x5bc685aff8f8669eull, 0xcda29c29703fd652ull, 0xc08b773dc4a8543eull,
    0x102c8c7ead6c13ffull, 0x6256d01990dfba16ull, 0x00d9aa7e9683413bull, 0x7667c5f834725588ull,
    0x79b59c703196e57bull, 0x2a96ed0ebccea6d3ull, 0x51719a70ae154960ull, 0xa4033fd668951993ull,
    0xed3784e7041c706aull, 0x7e96c4cb5e3b1aafull, 0xb2409f68020cf99dull, 0x6f6e2bc15aa88109ull,
    0x7e742a35c6f44055ull, 0xabef072c1cdccb49ull, 0x505578cc48145c7full, 0xe5b707dbb4dc2d48ull,
    0x03a3de8639573051ull, 0x62ed95769ea02d34ull, 0x6d9a2835b75d230aull, 0x1b05190ed603d204ull,
    0x2e66899b708717cdull, 0x78ec2428061be628ull, 0xde355692fd093311ull, 0x5c894514ddde923full,
    0xf18fe8fe036fcc0bull, 0xc2396cab9ca63411ull, 0x76b6d2c452dbeecdull, 0x848e7defed5430b8ull,
    0x4d34129d6549e64full, 0xf1739b1f3b1ddc92ull, 0x855d71b1229e1312ull, 0x631a7a876d36292aull,
    0x3c529d3e7c2ac30bull, 0xcb3b0f726315bb36ull, 0x79a6498534a7af4dull, 0x752b09a2f91e82ddull,
    0x01e1a379b2f5fdaaull, 0x075351562de29da2ull, 0x1d88d60f79a3cfe4ull, 0x68eaa979364d9166ull,
    0x5ed9e9593a103dfbull, 0xe58f49457de1d016ull, 0xaa9a7998b2e306faull, 0xd35846ce3f56a247ull,
    0x89138d02cf994460ull, 0xbbe11aad504fefc4ull, 0x085c1431f59e9487ull, 0x334e417f3213463bull,
    0xc9ae9d5f4fb4a202ull, 0xa082fa17d5b93e2aull, 0xa2f3730119c66b5aull, 0x1db6c2c5bb1c704bull,
    0x3e87c7a10dc1c34bull, 0xaa2656297486ea19ull, 0x5ac52a2dac693d95ull, 0xaf60bee991bc6148ull,
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
