#include "tools/swfhost/TemporaryFile.h"

#include "tools/swfhost/HostError.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

std::string MakeTemporaryFile(const std::string& stem) {
    std::error_code error;
    const fs::path directory = fs::temp_directory_path(error);
    std::string name = (directory / (stem + "-XXXXXX.swf")).string();
#ifdef _WIN32
    name = (directory / (stem + "-" + std::to_string(std::rand()) + ".swf")).string();
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
