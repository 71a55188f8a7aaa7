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
    0x4283001d854a04baull, 0x54b7b11def933d7cull, 0x8adb6df1172f50efull, 0x73f764d9fbb644f1ull,
    0x740f37c11c54c80eull, 0x50bf31d0bccdafa4ull, 0x62f48570613d4672ull, 0xa687163aa0751dbcull,
    0xb5f0a088d228d13full, 0x6c61a75c078faa06ull, 0xce2ce64944c65a54ull, 0x5ef106dde0167a8full,
    0xc7426f21e22fb57cull, 0x210b7b0539704a79ull, 0xff524ca1ba560549ull, 0x95d378168afcbafdull,
    0x2e8140a1032bb5abull, 0x514db72c6ffe39f6ull, 0x02347154c766af14ull, 0x3d1219eb02478035ull,
    0x84036a0c4c19cf60ull, 0x31c9b1874aba3c29ull, 0xbddde6271f529156ull, 0x33d866b38ad6eca3ull,
    0xf68419fb2dbd11eeull, 0x3f765f4fa79cfd1cull, 0x430881ad386ef1c6ull, 0x060ca5a3142d2c62ull,
    0xf368ea63e67192e2ull, 0x0270ba91a87190a3ull, 0x5fd5b6ca91c01544ull, 0xbbab7552346910afull,
    0x089ce72bcc9d8d53ull, 0xe711a0e7a3a3c0b5ull, 0xa4e897d77c46c04aull, 0x5be866230a49d3b2ull,
    0xabdabe9afe642524ull, 0x7e0a3dd3eb015329ull, 0x66346b70d85f853dull, 0x26e46816efd47ef4ull,
    0x2dbad39e8baa26cbull, 0xb8a84ee3f96a5cc6ull, 0xb9af458b174734a4ull, 0x3fee66e5177ac099ull,
    0x6d3822d7204ae861ull, 0xc6f5d31a566de375ull, 0x1de4f3e2bc1873cdull, 0xcb05feaa180c6c8full,
    0xeb37633ab9213676ull, 0xacd4e061a35ba5faull, 0x85d7a0fccbaccdf7ull, 0x2849ae04249a41fcull,
    0xc8f30245cd8fe74aull, 0x050dbfe3ec2e4d59ull, 0x0a41fd1af2b025d4ull, 0x740f1a581f47db44ull,
    0xaae6788bee3c2240ull, 0xbc0c31f6cc87e00dull, 0x21fac3c2387068c9ull, 0xabf63eb034837d50ull,
    0xa0253e551808752full, 0xf236028d6b3d7cfbull, 0x754aa4e09ec61c48ull, 0x3b86acd528051a18ull,
    0xd93ecbafa1028b99ull, 0x43060551c52e6f6dull, 0x22af815758c026f5ull, 0xe5f21a9774032740ull,
    0x8119d924f8300464ull, 0x373c88830e1ff3ceull, 0x5bacb71687275f16ull, 0xb9824cff7b357f47ull,
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
