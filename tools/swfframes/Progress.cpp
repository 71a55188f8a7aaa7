#include "tools/swfframes/Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string Seconds(double seconds) {
    char text[32];
    const int whole = int(seconds + 0.5);
    std::snprintf(text, sizeof(text), "%d:%02d", whole / 60, whole % 60);
    return text;
}

} // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

Progress::Progress(ProgressMode mode, bool quiet, std::string movie, int64_t total)
    : movie_(std::move(movie)), total_(total), start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {
    if (mode == ProgressMode::kJson)
        style_ = Style::kJson;
    else if (mode == ProgressMode::kAuto && !quiet && isatty(2))
        style_ = Style::kBar;
    else
        style_ = Style::kNone;
}

Progress::~Progress() {
    if (style_ == Style::kBar && done_ > 0) std::fputc('\n', stderr);
}

void Progress::FrameDone(int64_t frame, const std::string& output) {
    ++done_;
    if (style_ == Style::kJson) PrintJson(frame, output);
    if (style_ != Style::kBar) return;
    const auto now = std::chrono::steady_clock::now();
    if (done_ < total_ && now - lastDraw_ < kRedrawInterval) return;
    lastDraw_ = now;
    DrawBar();
}

void Progress::DrawBar() {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = elapsed > 0 ? double(done_) / elapsed : 0;
    const double left = rate > 0 ? double(total_ - done_) / rate : 0;
    const int filled = total_ > 0 ? int(kBarWidth * done_ / total_) : kBarWidth;
    const std::string bar =
        std::string(size_t(filled), '#') + std::string(size_t(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %lld/%lld frames, %.1f fps, %s left ", movie_.c_str(),
                 bar.c_str(), static_cast<long long>(done_), static_cast<long long>(total_), rate,
                 Seconds(left).c_str());
    std::fflush(stderr);
}

void Progress::PrintJson(int64_t frame, const std::string& output) const {
    std::printf("{\"movie\":%s,\"frame\":%lld,\"done\":%lld,\"total\":%lld",
                JsonString(movie_).c_str(), static_cast<long long>(frame),
                static_cast<long long>(done_), static_cast<long long>(total_));
    if (!output.empty()) std::printf(",\"output\":%s", JsonString(output).c_str());
    std::printf("}\n");
    std::fflush(stdout);
}
