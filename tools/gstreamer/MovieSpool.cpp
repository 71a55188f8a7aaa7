#include "tools/gstreamer/MovieSpool.h"

#include "tools/swfhost/HostError.h"
#include "tools/swfhost/TemporaryFile.h"

#include <cstdint>
#include <filesystem>

namespace {

// A compressed movie is shorter than its uncompressed length, which a 32-bit field states.
constexpr uint64_t kMaxMovie = UINT32_MAX;

} // namespace

void MovieSpool::UseFile(const std::string& path) {
    Reset();
    path_ = path;
}

void MovieSpool::Append(const uint8_t* data, size_t size) {
    if (path_.empty()) {
        path_ = MakeTemporaryFile("swfplugindec");
        temporary_ = true;
        out_.open(path_, std::ios::binary | std::ios::trunc);
    }
    if (!temporary_) return;
    size_ += size;
    if (size_ > kMaxMovie)
        throw HostError(kExitMovieFailed, "the stream is longer than a SWF movie can be (4 GB)");
    out_.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!out_) throw HostError(kExitOutput, "cannot write the temporary copy " + path_);
}

void MovieSpool::Finish() {
    if (!out_.is_open()) return;
    out_.close();
    if (!out_) throw HostError(kExitOutput, "cannot write the temporary copy " + path_);
}

void MovieSpool::Reset() {
    if (out_.is_open()) out_.close();
    out_.clear();
    if (temporary_) {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    path_.clear();
    temporary_ = false;
    size_ = 0;
}
