// The main road as a host drives it: load the library by path, recognise and open a
// movie, read its formats, length and texts, and read every frame under the frame lock.
#include "HostFixture.h"
#include "support/ComTestUtil.h"
#include "support/Hex.h"
#include "support/SwfWriter.h"
#include "tools/PluginLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

using comtest::CallSlot;
using namespace hosttest;
using comtest::Narrow;

namespace {

std::vector<uint8_t> EmptyFrames(uint32_t width, uint32_t height, double rate, int frames) {
    swftest::SwfWriter writer(width, height, rate);
    for (int i = 0; i < frames; ++i) writer.ShowFrame();
    writer.End();
    return writer.Finish();
}

} // namespace

TEST(MainRoad, OpensAMovieAndReadsEveryFrameUnderTheLock) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    const std::vector<uint8_t> bytes = EmptyFrames(320, 240, 24, 3);
    OpenMovie movie(WriteMovie("main_road.swf", bytes));
    ASSERT_TRUE(movie.video);
    IVxReadFile* file = movie.file.get();
    IVxReadVideoStream* frames = movie.video.get();
    EXPECT_EQ(movie.readClass->CheckFormat(0, bytes.data(), 9, 0), S_OK);
    EXPECT_EQ(file->IsClosed(), 0);

    int64_t length = 0;
    EXPECT_EQ(file->GetLength(&length), S_OK);
    EXPECT_EQ(length, 1250000); // 3 frames at 24 per second, in 100 ns

    uint8_t picture[48], video[72];
    std::memset(picture, 0xEE, sizeof(picture));
    std::memset(video, 0xEE, sizeof(video));
    VxStreamRecord record = {};
    record.pictureFormat = picture;
    record.pictureCapacity = sizeof(picture);
    record.videoFormat = video;
    record.videoCapacity = sizeof(video);
    ASSERT_EQ(file->GetStreamFormats(&record, 0, 1), S_OK);
    EXPECT_EQ(record.streamType, 2u);
    EXPECT_EQ(record.pictureSize, 40);
    EXPECT_EQ(record.videoSize, 64);
    EXPECT_EQ(record.frameCount, 3);
    // 320 x 240 at 32 bits, 307200 bytes; then the rate 24.0 and scale 1.0 as doubles and
    // the alpha flag; nothing beyond either block.
    EXPECT_EQ(swftest::ToHex(picture, 41),
              "2800000040010000f0000000010020000000000000b0040000000000000000000000000000000000"
              "ee");
    EXPECT_EQ(swftest::ToHex(video, 65),
              "40000000ffffffff00000000000000000000000000003840000000000000f03f"
              "0000000000000000010000000000000000000000000000000000000000000000"
              "ee");

    double rate = 0;
    EXPECT_EQ(frames->GetFrameRate(&rate), S_OK);
    EXPECT_EQ(rate, 24.0);

    for (int64_t frame = 0; frame < 3; ++frame) {
        void* pixels = nullptr;
        int32_t stride = 0;
        int64_t frameRead = 99;
        const BITMAPINFOHEADER* format = nullptr;
        const VxVideoFormat* videoFormat = nullptr;
        ASSERT_EQ(
            frames->ReadFrame(frame, &pixels, &stride, &format, &videoFormat, &frameRead, 0, 0),
            S_OK);
        EXPECT_EQ(frameRead, frame);
        EXPECT_EQ(stride, -320 * 4);
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(format->biWidth, 320);
        EXPECT_EQ(videoFormat->frameRate, 24.0);
        // Nothing is placed: every pixel is transparent black, row 0 first.
        const auto* row0 = static_cast<const uint8_t*>(pixels);
        for (int y = 0; y < 240; y += 60)
            for (int x = 0; x < 320 * 4; ++x) ASSERT_EQ(row0[y * 320 * 4 + x], 0);
        EXPECT_EQ(frames->EndRead(0), S_OK);
    }

    int64_t frameRead = 99;
    EXPECT_EQ(frames->ReadFrame(3, nullptr, nullptr, nullptr, nullptr, &frameRead, 0, 0), S_FALSE);
    EXPECT_EQ(frameRead, -1);
    EXPECT_EQ(frames->ReadFrame(0, nullptr, nullptr, nullptr, nullptr, &frameRead, 2, 0), S_FALSE);
    EXPECT_EQ(frameRead, -1);
    // Neither refusal kept the lock: another thread reads a frame.
    std::atomic<HRESULT> other{E_FAIL};
    std::thread([&] {
        other = frames->ReadFrame(1, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
        frames->EndRead(0);
    }).join();
    EXPECT_EQ(other.load(), S_OK);

    // Slots as a foreign host calls them.
    int64_t count = 0;
    EXPECT_EQ((CallSlot<HRESULT>(frames, 13, &count)), S_OK);
    EXPECT_EQ(count, 3);
    int32_t streamCount = 0;
    EXPECT_EQ((CallSlot<HRESULT>(file, 15, &streamCount)), S_OK);
    EXPECT_EQ(streamCount, 1);

    // The stream shares its file's count and gives the file back.
    ComPtr<IVxReadFile> owner(frames->GetFile());
    EXPECT_EQ(owner.get(), file);
}

TEST(MainRoad, SecondReaderWaitsForTheFirstReadersEndRead) {
    OpenMovie movie(WriteMovie("lock.swf", EmptyFrames(16, 16, 12, 2)));
    ASSERT_TRUE(movie.video);
    ASSERT_EQ(movie.video->ReadFrame(0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0), S_OK);
    std::atomic<int> readerDone{0}, zoomDone{0};
    std::thread reader([&] {
        movie.video->ReadFrame(1, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0);
        readerDone = 1;
        movie.video->EndRead(0);
    });
    std::thread zoomer([&] {
        movie.video->SetZoom(2.0);
        zoomDone = 1;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // time for both to block
    EXPECT_EQ(readerDone.load(), 0);
    EXPECT_EQ(zoomDone.load(), 0);
    EXPECT_EQ(movie.video->EndRead(0), S_OK);
    reader.join();
    zoomer.join();
    EXPECT_EQ(readerDone.load(), 1);
    EXPECT_EQ(zoomDone.load(), 1);
}

TEST(MainRoad, ZoomAndStretchShapeThePicture) {
    OpenMovie movie(WriteMovie("zoom.swf", EmptyFrames(550, 400, 12, 1)));
    ASSERT_TRUE(movie.video);
    ComPtr<IVxAdvancedVideoScaling> scaling;
    ASSERT_EQ(movie.video->QueryInterface(IID_IVxAdvancedVideoScaling, scaling.outVoid()), S_OK);
    EXPECT_EQ(movie.video->SetZoom(0.5), S_OK);
    EXPECT_EQ(scaling->SetStretch(2.0), S_OK);
    BITMAPINFOHEADER format = movie.Format();
    EXPECT_EQ(format.biWidth, 550);
    EXPECT_EQ(format.biHeight, 200);
    EXPECT_EQ(format.biSizeImage, 550u * 200 * 4);

    void* pixels = nullptr;
    int32_t stride = 0;
    const BITMAPINFOHEADER* lent = nullptr;
    ASSERT_EQ(movie.video->ReadFrame(0, &pixels, &stride, &lent, nullptr, nullptr, 0, 0), S_OK);
    EXPECT_EQ(lent->biHeight, 200);
    EXPECT_EQ(stride, -550 * 4);
    movie.video->EndRead(0);

    // A stretch of 0 counts as 1.
    EXPECT_EQ(scaling->SetStretch(0.0), S_OK);
    format = movie.Format();
    EXPECT_EQ(format.biWidth, 275);
    double stretch = -1;
    EXPECT_EQ(scaling->GetStretch(&stretch), S_OK);
    EXPECT_EQ(stretch, 0.0);

    // A factor changes the picture only at the next GetFormat; until then frames keep the
    // size the host was last told.
    EXPECT_EQ(movie.video->SetZoom(1.0), S_OK);
    ASSERT_EQ(movie.video->ReadFrame(0, nullptr, &stride, &lent, nullptr, nullptr, 0, 0), S_OK);
    EXPECT_EQ(lent->biWidth, 275);
    EXPECT_EQ(stride, -275 * 4);
    movie.video->EndRead(0);
    EXPECT_EQ(movie.Format().biWidth, 550);

    // A video block one byte short is refused, but its size is still told.
    uint8_t video[63];
    int32_t videoSize = 0;
    EXPECT_EQ(movie.video->GetFormat(nullptr, 0, nullptr, video, 63, &videoSize), E_OUTOFMEMORY);
    EXPECT_EQ(videoSize, 64);
}

TEST(MainRoad, TextsRateAndLength) {
    OpenMovie movie(WriteMovie("texts.swf", EmptyFrames(320, 240, 12.5, 25)));
    ASSERT_TRUE(movie.video);
    WCHAR text[300];
    EXPECT_EQ(movie.file->GetStreamText(text, 300, 0, 3), S_OK);
    EXPECT_EQ(Narrow(text), "2457 Kbps");
    EXPECT_EQ(movie.file->GetStreamText(text, 300, 0, 1), S_OK);
    EXPECT_EQ(Narrow(text), "SWF");
    EXPECT_EQ(movie.file->GetStreamText(text, 300, 0, 2), S_OK);
    EXPECT_EQ(Narrow(text), "320 x 240, 32 bits per pixel");
    EXPECT_EQ(movie.file->GetStreamText(text, 6, 0, 2), S_OK); // cut to the capacity
    EXPECT_EQ(Narrow(text), "320 x");
    EXPECT_EQ(movie.file->GetStreamText(text, 300, 0, 9), S_FALSE);
    EXPECT_EQ(movie.file->GetStreamText(text, 300, 1, 1), E_INVALIDARG);
    EXPECT_EQ(movie.file->GetText(text, 300, 1), S_OK);
    EXPECT_EQ(Narrow(text), "Shockwave Flash");
    EXPECT_EQ(movie.file->GetText(text, 300, 2), S_OK);
    EXPECT_EQ(text[0], 0);

    double rate = 0;
    EXPECT_EQ(movie.video->GetFrameRate(&rate), S_OK);
    EXPECT_EQ(rate, 12.0); // 12.5 frames per second report as 12
    // The length in 100 ns: frames / whole frames per second x 10^7, to the nearest unit
    // (25 / 12 s is 20833333.3 units, 5 / 12 s 4166666.7, 2 / 3 s 6666666.7); a rate of
    // 0 gives no length.  The file and its stream tell the same.
    const struct {
        double rate;
        int frames;
        int64_t length;
    } lengths[] = {{12.5, 25, 20833333}, {12.5, 5, 4166667},   {3, 2, 6666667},
                   {7, 1, 1428571},      {255, 511, 20039216}, {0.5, 3, 0}};
    for (const auto& l : lengths) {
        OpenMovie timed(WriteMovie("length.swf", EmptyFrames(8, 8, l.rate, l.frames)));
        ASSERT_TRUE(timed.video);
        int64_t length = -1, streamLength = -1;
        EXPECT_EQ(timed.file->GetLength(&length), S_OK);
        EXPECT_EQ(timed.video->GetLength(&streamLength), S_OK);
        EXPECT_EQ(std::pair(length, streamLength), std::pair(l.length, l.length))
            << l.frames << " frames at " << l.rate;
    }
    EXPECT_EQ(movie.file->CheckUse(0, 8, 1), S_OK);
    EXPECT_EQ(movie.file->CheckUse(0, 7, 1), S_FALSE);
    EXPECT_EQ(movie.file->CheckUse(0, 8, 2), S_FALSE);
}

TEST(MainRoad, MissingOrBrokenMoviesOpenWithNoFrames) {
    const std::u16string missing = std::u16string(u"/nonexistent-folder/") + u"missing.swf";
    std::vector<uint8_t> truncated = EmptyFrames(100, 100, 12, 2);
    truncated.pop_back();
    for (const std::u16string& path : {missing, WriteMovie("truncated.swf", truncated)}) {
        OpenMovie movie(path);
        ASSERT_TRUE(movie.video);
        EXPECT_EQ(movie.file->IsClosed(), 0);
        int64_t length = -1, count = -1;
        EXPECT_EQ(movie.file->GetLength(&length), S_OK);
        EXPECT_EQ(length, 0);
        EXPECT_EQ(movie.video->GetFrameCount(&count), S_OK);
        EXPECT_EQ(count, 0);
        int64_t frameRead = 5;
        EXPECT_EQ(movie.video->ReadFrame(0, nullptr, nullptr, nullptr, nullptr, &frameRead, 0, 0),
                  S_FALSE);
        EXPECT_EQ(frameRead, -1);
    }
}

TEST(MainRoad, ClosedFilesAndFileNames) {
    OpenMovie named(WriteMovie("closed.swf", EmptyFrames(10, 10, 12, 1)), 0);
    ASSERT_TRUE(named.file);
    IVxReadFile* file = named.file.get();
    EXPECT_NE(file->IsClosed(), 0); // not opened yet, but named
    WCHAR name[8];
    EXPECT_EQ(file->GetFileName(name, 8), S_OK);
    EXPECT_EQ(Narrow(name).size(), 7u);
    int32_t count = -1;
    EXPECT_EQ(file->GetStreamCount(&count), E_FAIL); // no movie: no table
    ComPtr<IVxReadFileClass> creator;
    EXPECT_EQ(file->GetClass(creator.out()), S_OK);
    EXPECT_EQ(creator.get(), named.readClass.get());

    EXPECT_EQ(file->Open(0, 0), S_OK);
    EXPECT_EQ(file->SetFileName(PLATFORM_WIDE("other.swf")), E_FAIL); // refused while loaded
    ComPtr<IVxReadStream> stream;
    ASSERT_EQ(file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0), S_OK);
    ComPtr<IVxReadVideoStream> video;
    ASSERT_EQ(stream->QueryInterface(IID_IVxReadVideoStream, video.outVoid()), S_OK);
    BITMAPINFOHEADER format;
    ASSERT_EQ(video->GetFormat(&format, 40, nullptr, nullptr, 0, nullptr), S_OK);
    EXPECT_EQ(file->Close(), S_OK);
    EXPECT_EQ(video->ReadFrame(0, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0),
              VX_E_NOTLOADED);
    uint32_t kind = 0;
    EXPECT_EQ(file->GetFormatKind(&kind), S_OK);
    EXPECT_EQ(kind, 2u);
    EXPECT_EQ(file->GetStream(stream.out(), 7, 0, 0, 0, 0), E_FAIL); // wrong type filter
}
