#include "tools/swfframes/MovieSource.h"

#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieInflater.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// A new empty file in the temporary directory, made so no other process gets the name.
std::string MakeTemporaryFile() {
    std::error_code error;
    const fs::path directory = fs::temp_directory_path(error);
    std::string name = (directory / "swfframes-XXXXXX.swf").string();
#ifdef _WIN32
    name = (directory / ("swfframes-" + std::to_string(std::rand()) + ".swf")).string();
#else
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), 4);
    if (fd < 0)
        throw HostError(kExitOutput, "cannot make a temporary file in " + directory.string());
    close(fd);
    name = buffer.data();
#endif
    return name;
}

} // namespace

MovieSource::MovieSource(const std::string& path, bool notify) : userPath_(path) {
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
    MakeCopy(path);
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

void MovieSource::MakeCopy(const std::string& path) {
    temporary_ = MakeTemporaryFile();
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
