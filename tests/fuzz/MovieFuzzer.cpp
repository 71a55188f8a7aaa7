// Movie bytes, played as a host plays them: recognise, open, read the formats and texts,
// then a few frames in order, the last frame, a backward seek, a zoom change and a frame
// past the end.  Small pictures, few frames and a processor-time budget bound each input.
#include "FuzzHost.h"

#include <cmath>
#include <ctime>
#include <optional>

using fuzzhost::ComPtr;

namespace {

constexpr double kMostPixels = 256.0 * 256.0;
constexpr int64_t kFramesInOrder = 3;
// A frame of many large stroked glyphs takes seconds under the sanitizers.
constexpr std::clock_t kProcessorTime = 2 * CLOCKS_PER_SEC;

BITMAPINFOHEADER Format(IVxReadVideoStream* video) {
    BITMAPINFOHEADER picture = {};
    VxVideoFormat format = {};
    int32_t pictureSize = 0, formatSize = 0;
    if (video->GetFormat(&picture, sizeof(picture), &pictureSize, &format, sizeof(format),
                         &formatSize) == S_OK)
        FUZZ_CHECK(pictureSize == 40 && formatSize == 64 && picture.biBitCount == 32);
    return picture;
}

// Zooms so that the picture has at most kMostPixels, scaled further by `factor`.
void FitPicture(IVxReadVideoStream* video, double factor) {
    FUZZ_CHECK(video->SetZoom(1.0) == S_OK);
    const BITMAPINFOHEADER natural = Format(video);
    const double pixels = double(natural.biWidth) * double(natural.biHeight);
    const double zoom = (pixels > kMostPixels ? std::sqrt(kMostPixels / pixels) : 1.0) * factor;
    FUZZ_CHECK(video->SetZoom(zoom) == S_OK);
    const BITMAPINFOHEADER fitted = Format(video);
    if (fitted.biWidth > 0 && fitted.biHeight > 0)
        FUZZ_CHECK(double(fitted.biWidth) * double(fitted.biHeight) <= kMostPixels);
}

// Reads a frame and folds every lent pixel into a hash (so that the sanitizers see each
// byte), or nothing when the frame cannot be read.
std::optional<uint64_t> ReadFrame(IVxReadVideoStream* video, int64_t frame) {
    void* pixels = nullptr;
    int32_t stride = 0;
    const BITMAPINFOHEADER* picture = nullptr;
    const VxVideoFormat* format = nullptr;
    int64_t frameRead = -2;
    if (video->ReadFrame(frame, &pixels, &stride, &picture, &format, &frameRead, 0, 0) != S_OK) {
        // The frame is reported from the seek on, also when drawing it fails after.
        FUZZ_CHECK(frameRead == -1 || frameRead == frame);
        return std::nullopt;
    }
    const int64_t rowBytes = picture ? int64_t(picture->biWidth) * 4 : 0;
    FUZZ_CHECK(frameRead == frame && pixels && picture && format && -int64_t(stride) >= rowBytes);
    uint64_t hash = 14695981039346656037u;
    for (int32_t y = 0; y < picture->biHeight; ++y) {
        // Row 0 is the top row; the stride is the negated pitch, as a host sees it.
        const auto* row = static_cast<const uint8_t*>(pixels) - int64_t(y) * stride;
        for (int64_t x = 0; x < rowBytes; ++x) hash = (hash ^ row[x]) * 1099511628211u;
    }
    FUZZ_CHECK(video->EndRead(0) == S_OK);
    return hash;
}

// What a host asks before playing; the answers only have to be safe.
void AskFormats(IVxReadFile* file) {
    BITMAPINFOHEADER picture = {};
    VxVideoFormat format = {};
    VxStreamRecord record = {};
    record.pictureFormat = &picture, record.pictureCapacity = sizeof(picture);
    record.videoFormat = &format, record.videoCapacity = sizeof(format);
    file->GetStreamFormats(&record, 0, 1);
    int64_t length = 0;
    file->GetLength(&length);
    WCHAR text[300];
    for (int32_t kind = 1; kind <= 3; ++kind) file->GetStreamText(text, 300, 0, kind);
    file->GetText(text, 300, 2);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzhost::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::u16string path = fuzzhost::Wide(fuzzhost::ScratchPath("movie.swf"));
    fuzzhost::WriteFile(fuzzhost::ScratchPath("movie.swf"), data, size);
    ComPtr<IVxReadFileClass> readClass;
    FUZZ_CHECK(fuzzhost::Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass,
                                          readClass.out()) == S_OK);
    readClass->CheckFormat(0, data, int32_t(size < 64 ? size : 64), 0);
    ComPtr<IVxReadFile> file;
    if (readClass->CreateReadFile(file.out(), nullptr, fuzzhost::W(path), 1) != S_OK) return 0;
    AskFormats(file.get());
    ComPtr<IVxReadStream> stream;
    if (file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0) != S_OK || !stream) return 0;
    ComPtr<IVxReadVideoStream> owned;
    FUZZ_CHECK(stream->QueryInterface(IID_IVxReadVideoStream, owned.outVoid()) == S_OK);
    IVxReadVideoStream* video = owned.get();
    int64_t count = 0;
    FUZZ_CHECK(video->GetFrameCount(&count) == S_OK);

    const std::clock_t start = std::clock();
    const auto timeLeft = [start] { return std::clock() - start < kProcessorTime; };

    FitPicture(video, 1.0);
    const std::optional<uint64_t> first = ReadFrame(video, 0);
    for (int64_t frame = 1; frame < std::min(count, kFramesInOrder) && timeLeft(); ++frame)
        ReadFrame(video, frame);
    if (count > kFramesInOrder && timeLeft()) ReadFrame(video, count - 1);
    // Back to the start: the replayed frame is the same picture.
    if (timeLeft()) FUZZ_CHECK(ReadFrame(video, 0) == first);
    if (timeLeft()) {
        FitPicture(video, 0.5);
        ReadFrame(video, count > 1 ? 1 : 0);
    }
    FUZZ_CHECK(!ReadFrame(video, count)); // refused before any seek: always cheap
    return 0;
}
