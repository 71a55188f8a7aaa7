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
    0x27ed93ebdedbb285ull, 0xee9e5a79eb1d7944ull, 0x2780cc3eb2171de7ull, 0xc4805714e7b58f2full,
    0x6f53569a998caf18ull, 0xca8c62bf5af16d43ull, 0x097a27efe9267689ull, 0xc6fca6845293ebf3ull,
    0x110a779b4b0f4570ull, 0x7d7f3900e8d7cd2full, 0x8287de35ba97c7c0ull, 0xdda9cc0c7c2f5406ull,
    0xbab9f5bbde115fadull, 0xb0a52158633adc23ull, 0x8fc2cd1d23285c84ull, 0x206ec0be5b1edbbeull,
    0xa86b819ca8d1e84full, 0x1fdcb303f8868891ull, 0xfbffebab23f04110ull, 0x59ceaa881188564eull,
    0x8d0be52b5b00e62dull, 0x614ae7b6671a13c7ull, 0xf978f4351315cda1ull, 0x97cf6f36c449b0b3ull,
    0xf6fb290dcba875baull, 0x4bcffb0598e780c3ull, 0x8bea8ab33dc5f42eull, 0xb0b0255b85102589ull,
    0xad8acc5f788192eeull, 0xcf9a657b5751cd61ull, 0xe44be7d737bb653full, 0x591a9ec2b218e5eaull,
    0x7133ebdc31c87063ull, 0x85909d30168c1312ull, 0xde05d54cad29226full, 0x8d6d0c0afb09f801ull,
    0x30cd7c0c30d8757dull, 0xf837b736cd235c4eull, 0x802bf468b6750a9aull, 0x0fbfe7810eaa3247ull,
    0x62f86adaf4f9ef45ull, 0x2f2eea877179db31ull, 0x09f05a5d1fe56d32ull, 0x63e93a43bd6f1d7dull,
    0xe48cf655a7bf63d3ull, 0x4ef16a5cacd350e6ull, 0xf16d41c15c1ff711ull, 0xdfebf3f93ed1f177ull,
    0xcf42041bb3e578a4ull, 0xc13a8f7529196258ull, 0xf2edaa43e3ad073bull, 0x55ebba01098bc891ull,
    0xe934bd119f05a0adull, 0x5d24b7e055c54b90ull, 0x67caa469b7fdf572ull, 0x2760ebc546e7bbdfull,
    0xc6dab3e00d8f43f3ull, 0x630c9fe61267c3fdull, 0xc64a3c73985404faull, 0xf8b6bf701d6e518aull,
    0xfb6ec442a11e331cull, 0xbb2a2448da8f0701ull, 0x86b73c7e26067a73ull, 0x1f598586d4528250ull,
    0x5859732ecc7c0385ull, 0xd8e1034545d4e90eull, 0xdf327e04f3863eadull, 0xdc148f3b9ef51755ull,
    0x168b27d1c4223661ull, 0x12dc4cc3d81387b4ull, 0x88cf1adff43686abull, 0x43ce1a52160b90ffull,
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
