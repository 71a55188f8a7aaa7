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
    if (ReadSignature(path) != MovieSignature::kCompressed) return;
    temporary_ = MakeTemporaryFile();
    try {
        InflateMovie(path, temporary_);
    } catch (...) {
        fs::remove(temporary_, error);
        throw;
    }
    pluginPath_ = temporary_;
    if (notify)
        std::fprintf(stderr,
                     "swfframes: %s is compressed (CWS); reading an inflated temporary copy\n",
                     path.c_str());
}

MovieSource::~MovieSource() {
    std::error_code ignored;
    if (!temporary_.empty()) fs::remove(temporary_, ignored);
}
