#include "tools/gstreamer/MovieDecoder.h"

#include "tools/swfhost/HostError.h"
#include "tools/swfhost/MovieInflater.h"
#include "tools/swfhost/MovieSource.h"
#include "tools/swfhost/PictureFit.h"
#include "tools/swfhost/PluginHost.h"

#include <cmath>
#include <limits>
#include <mutex>
#include <utility>

namespace {

// The plug-in's class factory and read-file class keep plain reference counts: movies of
// elements in different streaming threads are opened and closed one at a time.  Frames
// of different open movies may be read at once.
std::mutex gOpenClose;

constexpr uint64_t kSecond = 1000000000;

} // namespace

std::shared_ptr<const PluginHost> MovieDecoder::LoadPlugin(const std::string& path) {
    return std::make_shared<const PluginHost>(path);
}

MovieDecoder::MovieDecoder(std::shared_ptr<const PluginHost> host, const std::string& moviePath)
    : host_(std::move(host)) {
    const std::lock_guard<std::mutex> hold(gOpenClose);
    source_ = std::make_unique<MovieSource>(moviePath, false, "swfplugindec");
    stream_ = std::make_unique<MovieStream>(*host_, source_->PluginPath());
    if (MovieIsTruncated(source_->PluginPath()))
        throw HostError(kExitMovieFailed, "the movie is truncated (it ends inside its tags)");
    frameCount_ = stream_->FrameCount();
    const double rate = stream_->FrameRate();
    if (rate >= 1 && rate <= std::numeric_limits<int>::max()) {
        // Whole from the plug-in; a fraction to the thousandth otherwise.
        rateNumerator_ = int(rate);
        if (rate != std::trunc(rate) && rate * 1000 <= std::numeric_limits<int>::max()) {
            rateNumerator_ = int(std::lround(rate * 1000));
            rateDenominator_ = 1000;
        }
    }
    if (NaturalWidth() <= 0 || NaturalHeight() <= 0)
        throw HostError(kExitMovieFailed, "the movie's stage is empty (" +
                                              std::to_string(NaturalWidth()) + " x " +
                                              std::to_string(NaturalHeight()) + ")");
}

MovieDecoder::~MovieDecoder() {
    const std::lock_guard<std::mutex> hold(gOpenClose);
    stream_.reset();
    source_.reset();
}

int MovieDecoder::NaturalWidth() const {
    return stream_->NaturalWidth();
}
int MovieDecoder::NaturalHeight() const {
    return stream_->NaturalHeight();
}
int MovieDecoder::Width() const {
    return stream_->Width();
}
int MovieDecoder::Height() const {
    return stream_->Height();
}

uint64_t MovieDecoder::FrameTime(int64_t frame) const {
    using Wide = unsigned __int128;
    const Wide scaled = Wide(uint64_t(frame)) * kSecond * uint64_t(rateDenominator_);
    return uint64_t((scaled + uint64_t(rateNumerator_) - 1) / uint64_t(rateNumerator_));
}

int64_t MovieDecoder::FrameAt(uint64_t time) const {
    using Wide = unsigned __int128;
    return int64_t(Wide(time) * uint64_t(rateNumerator_) /
                   (Wide(kSecond) * uint64_t(rateDenominator_)));
}

void MovieDecoder::SetSize(int width, int height) {
    if (width == Width() && height == Height()) return;
    const Scale scale = FitPicture(NaturalWidth(), NaturalHeight(), width, height, {});
    stream_->SetScale(scale.zoom, scale.stretch);
    if (Width() != width || Height() != height)
        throw HostError(kExitMovieFailed, "the plug-in draws " + std::to_string(Width()) + " x " +
                                              std::to_string(Height()) + " when asked for " +
                                              std::to_string(width) + " x " +
                                              std::to_string(height));
}

void MovieDecoder::DrawFrame(int64_t frame, const Background& background, uint8_t* out,
                             size_t stride) {
    stream_->ReadFrame(frame, [&](const FrameView& view) {
        if (view.width != Width() || view.height != Height())
            throw HostError(kExitMovieFailed, "the plug-in lent a picture of another size");
        for (int y = 0; y < view.height; ++y)
            background.CompositeRow(view.Row(y), out + size_t(y) * stride, view.width);
    });
}
