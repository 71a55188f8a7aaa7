#include "tools/swfhost/MovieSource.h"

#include "tools/swfhost/HostError.h"
#include "tools/swfhost/MovieInflater.h"
#include "tools/swfhost/TemporaryFile.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

MovieSource::MovieSource(const std::string& path, bool notify, const std::string& host)
    : userPath_(path) {
    std::error_code error;
    if (!fs::exists(path, error)) throw HostError(kExitMovieFailed, "no such file");
    if (fs::is_directory(path, error))
        throw HostError(kExitMovieFailed, "is a folder with no .swf movies");
    pluginPath_ = path;
    const MovieSignature signature = ReadSignature(path);
    compressed_ = signature == MovieSignature::kCompressed;
    if (signature == MovieSignature::kUncompressed) {
        length_ = ReadMovieLength(path);
        if (!length_.Wrong() || !LengthIsRepairable(length_)) return;
    } else if (!compressed_) {
        return;
    }
    MakeCopy(path, host);
    if (notify && compressed_)
        std::fprintf(stderr,
                     "swfframes: %s is compressed (CWS); reading an inflated temporary copy\n",
                     path.c_str());
    if (notify && length_.Wrong())
        std::fprintf(stderr,
                     "swfframes: %s: its header gives a file length of %lu bytes but the movie "
                     "has %llu; reading a corrected temporary copy\n",
                     path.c_str(), static_cast<unsigned long>(length_.declared),
                     static_cast<unsigned long long>(length_.actual));
}

void MovieSource::MakeCopy(const std::string& path, const std::string& host) {
    temporary_ = MakeTemporaryFile(host);
    try {
        if (compressed_)
            length_ = InflateMovie(path, temporary_);
        else
            WriteCorrectedMovie(path, temporary_);
    } catch (...) {
        std::error_code error;
        fs::remove(temporary_, error);
        throw;
    }
    pluginPath_ = temporary_;
}

MovieSource::~MovieSource() {
    std::error_code ignored;
    if (!temporary_.empty()) fs::remove(temporary_, ignored);
}
