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
    0x554d273eee455767ull, 0x5a4e51188d04c25dull, 0x5fabafec459554beull, 0x739bdf4b1f99d554ull,
    0xd83297eae59d408dull, 0x911c7e3f5f4ca49bull, 0xea8622d90509c900ull, 0xca365b13179d6ab6ull,
    0x6483641d0a1c949aull, 0x2ad369bbf704b048ull, 0x299f1326b9d7b357ull, 0x9b9540db744c48acull,
    0x0a35039e5c21b97cull, 0x3165ede87792379bull, 0xfeafa72e1471ec08ull, 0x6c9888902b4b2c7bull,
    0x6c53da94a4e6c640ull, 0x5807430b97adec32ull, 0xdb9cb3249219794aull, 0x567e6673d7709c10ull,
    0xf19c9a14ea047740ull, 0x8b57e6ced4340910ull, 0xbcc38c9cdda41e7aull, 0x9a742f180dc1fb71ull,
    0x20dfe4066ea9d288ull, 0x43810ec9af190d2bull, 0x60d31ab2379180f2ull, 0xbbac1ecd7e0e0571ull,
    0x8af9344e4cd2c07dull, 0xe4feef7296b31f9dull, 0x462addb70275aeb3ull, 0x99dfb150d450687dull,
    0xa3a3d36ba670f374ull, 0xed950748cc5a3c6aull, 0xafbbc01beeea5c31ull, 0x27765d9a394792a2ull,
    0x7c2ab2e895af804cull, 0xe282777c61f12a68ull, 0x3b475a4d801c8e5dull, 0x5f1368af6fb3af7cull,
    0x71c58d343e4442e2ull, 0x620c15e7acf4fb71ull, 0x977bf10e3758a6ccull, 0x0a5c1d60723144e5ull,
    0x0e86f3f84f5deddeull, 0xc898b0a1f719b123ull, 0x023b13af5d38df17ull, 0x9217da059976c24full,
    0xffb8b3be5274f7d2ull, 0x9326dce9127a3ea7ull, 0x15a302a6b6b4f29cull, 0x9e6928b27aecfdabull,
    0x260d8bcf7374da42ull, 0x60ad4f5f16daed6dull, 0x91c93f11fa256c77ull, 0xe890c4c5bdfbac88ull,
    0x6adeb7deae43cea4ull, 0x9ff2defe8ce83103ull, 0x8c17baad1359e5a7ull, 0x86fb32eab64301bfull,
    0xc210389c084b8a55ull, 0x4d50a014d44762a8ull, 0x69af52bd199ef27full, 0x94837a9ff107912full,
    0x6b6c4e39d4177197ull, 0x321cc0fb1e400442ull, 0x58aa2ba99825be69ull, 0x70bb24c61b161d2eull,
    0xcf6aa30ca57179d0ull, 0x124567ac9e1c6e02ull, 0x50724dba0dd642e5ull, 0xd72e094bcd4fe766ull,
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
